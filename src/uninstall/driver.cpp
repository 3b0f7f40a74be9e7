// Plain steps of the uninstall driver.
#include "uninstall/driver.h"

#include <cstring>

#include "support/pathutil.h"

// Walked by characters: the second byte of a double-byte character may equal a backslash.
bool InstallFolderOf(const LeadByteTable& table, const char* programPath, char* folder, size_t size) {
    const char* lastSlash = nullptr;
    for (const char* p = programPath; *p; p = table.multiByte ? NextChar(table, p) : p + 1) {
        if (*p == '\\') lastSlash = p;
    }
    if (!lastSlash) return false;
    size_t len = (size_t)(lastSlash - programPath);
    if (len > 0 && lastSlash[-1] == ':') ++len;  // C:\ keeps its backslash
    if (len + 1 > size) {
        if (size) folder[0] = 0;
        return false;
    }
    memcpy(folder, programPath, len);
    folder[len] = 0;
    return true;
}
