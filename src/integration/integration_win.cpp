// The setup's integration sequence, the application path, the archive type classes and the
// uninstall registration.
#include "integration/integration.h"

void ApplyIntegration(const SetupOptions&, char*) {}
void RegisterAppPath() {}
void RegisterTypeClasses() {}
void RegisterUninstaller() {}
