// Platform probes and small file-system helpers.
#pragma once

// Major version on the NT family, 0 on the 9x family. Asks the system once per process.
int WinNtVersion();

// Drops the cached answer so that the next call asks again; for tests that change the
// reported version.
void ResetWinNtVersionCache();

// Locale-aware, case-insensitive comparison: 0 when equal, -2 when the system call failed.
int CompareNamesNoCase(const char* a, const char* b);

// True for an existing file or folder.
bool FileExists(const char* name);

// Fills the table from the ANSI code page of the running process.
struct LeadByteTable;
void FillLeadByteTable(LeadByteTable& table);
