// Plain steps of the uninstall driver: the installation folder and the list error text.
#pragma once
#include <cstddef>

struct LeadByteTable;

// The folder of the program file: the path up to its last backslash, or with that backslash
// when it directly follows a drive's colon (a drive root). False when the path has no
// backslash or the folder does not fit.
bool InstallFolderOf(const LeadByteTable& table, const char* programPath, char* folder, size_t size);

// Puts text in place of the first "%s" of a translatable message, and "%" for "%%"; any
// other "%" stays as it stands, so that no translation can make the formatting read
// arguments that are not there. Cuts the result to the buffer on a character boundary.
void FormatWithText(const LeadByteTable& table, char* out, size_t size, const char* format,
                    const char* text);
