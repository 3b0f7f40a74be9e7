// Checks on the names of program-group items, which can come from a translation.
#pragma once

struct LeadByteTable;

// True for a name that, joined to a folder, names an entry of that folder itself: not empty,
// not "." or "..", and without a path divider or a drive colon.
bool IsPlainItemName(const LeadByteTable& table, const char* name);
