// Removal of the system integration.
#include "uninstall/removeintegration.h"

void RemoveIntegration() {}
