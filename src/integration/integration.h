// The setup's integration sequence and the fixed registry entries it writes: application
// path, archive type classes and the uninstall registration.
#pragma once
#include "integration/installfile.h"
#include "setupui/options.h"

// Under HKEY_LOCAL_MACHINE; written here and deleted by the uninstaller.
extern const char AppPathKey[];
extern const char UninstallKey[];

// Runs every integration step in a fixed order, whatever the earlier ones did.
// programGroupPath is a buffer of IntegrationPathSize (1024) characters, or null; it receives
// the per-user program group's folder only when the program group option is on.
void ApplyIntegration(const SetupOptions& options, char* programGroupPath);

void RegisterAppPath();
void RegisterTypeClasses();
void RegisterUninstaller();
