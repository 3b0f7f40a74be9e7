// The key path rule: below the current user's root a path names a key of the settings key,
// unless it starts with a backslash; below every other root it is taken as it is.
#include "registry/regpath.h"

#include <cstring>

#include "support/pathutil.h"

const char SettingsKeyPath[] = "Software\\Kolvex";

// The length limit is checked on the caller's path before the prefix is added, so that the
// same path is accepted or refused whatever root it is used with. On refusal the destination
// is left as it was. The formatting below is bounded as well, for buffers smaller than the
// reserve of the limit.
bool MapRegPath(bool currentUserRoot, char* dest, size_t size, const char* path) {
    size_t len = strlen(path);
    if (size < RegPathReserve || len > size - RegPathReserve) return false;
    if (!currentUserRoot) return CopyWhole(dest, size, path);
    // A leading backslash asks for a key counted from the root of HKEY_CURRENT_USER itself.
    if (path[0] == '\\') return CopyWhole(dest, size, path + 1);
    return FormatWhole(dest, size, "%s%s%s", SettingsKeyPath, path[0] ? "\\" : "", path);
}
