// Plain steps of the uninstall driver: the installation folder.
#pragma once
#include <cstddef>

#include "support/textformat.h"

struct LeadByteTable;

// The folder of the program file: the path up to its last backslash, or with that backslash
// when it directly follows a drive's colon (a drive root). False when the path has no
// backslash or the folder does not fit.
bool InstallFolderOf(const LeadByteTable& table, const char* programPath, char* folder, size_t size);
