// Checks on the names of program-group items, which can come from a translation.
#include "integration/linkname.h"

#include <cstring>

#include "support/pathutil.h"

// A translated item name ends up inside a link file path; "..\" or a drive in it would put the
// link, and later the group deletion's reach, outside the group folder. The walk goes by
// character: the second byte of a double-byte character may equal a backslash.
bool IsPlainItemName(const LeadByteTable& table, const char* name) {
    if (!*name || strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return false;
    for (const char* p = name; *p; p = NextChar(table, p)) {
        unsigned char c = (unsigned char)*p;
        if (table.isLeadByte[c]) continue;
        if (IsPathDivider(c) || IsDriveDivider(c)) return false;
    }
    return true;
}
