// Registration of the Explorer shell extension libraries, and its removal.
#pragma once
#include "setupui/options.h"

// The libraries and their class ids; the 64-bit library exists only for 64-bit Windows.
extern const char ShellExtLibrary[];
extern const char ShellExtClassId[];
extern const char ShellExt64Library[];
extern const char ShellExt64ClassId[];

void SetShellExtensions(const SetupOptions& options);
void RegisterShellExtension(bool doRegister, const char* libraryName, const char* classId,
                            bool in64BitView);
bool IsWow64();

// The cached answer of the WOW64 probe: -1 undetermined (the next call probes), 0 or 1.
// The 64-bit test build sets 1 to act as the 32-bit program does on 64-bit Windows.
void SetWow64Answer(int answer);
