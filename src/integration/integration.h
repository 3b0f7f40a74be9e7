// The setup's integration sequence and the fixed registry entries it writes: application
// path, archive type classes and the uninstall registration.
#pragma once
#include "setupui/options.h"

// Size of the program-group path buffer that ApplyIntegration fills.
constexpr int ProgramGroupPathSize = 1024;

// Runs every integration step in a fixed order, whatever the earlier ones did.
// programGroupPath is a buffer of ProgramGroupPathSize characters, or null; it receives the
// program group's folder only when this run creates the group.
void ApplyIntegration(const SetupOptions& options, char* programGroupPath);

void RegisterAppPath();
void RegisterTypeClasses();
void RegisterUninstaller();
