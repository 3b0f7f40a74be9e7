// Formatting of translatable messages with one text argument (no Win32 here).
#pragma once
#include <cstddef>

struct LeadByteTable;

// Puts text in place of the first "%s" of a translatable message, and "%" for "%%"; any
// other "%" stays as it stands, so that no translation can make the formatting read
// arguments that are not there. Cuts the result to the buffer on a character boundary.
void FormatWithText(const LeadByteTable& table, char* out, size_t size, const char* format,
                    const char* text);
