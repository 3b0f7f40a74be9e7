// Paths of the product's files, built from the running program's own path.
#include "integration/installfile.h"

#include <windows.h>

#include "support/pathutil.h"

// GetModuleFileNameA cuts a long path silently and returns the buffer size then; a cut path
// would name another folder, so it counts as no path at all.
bool ProgramFilePath(char (&path)[IntegrationPathSize]) {
    DWORD len = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (len == 0 || len >= sizeof(path)) {
        path[0] = 0;
        return false;
    }
    return true;
}

bool InstallFolderFile(char (&path)[IntegrationPathSize], const char* fileName) {
    if (!ProgramFilePath(path)) return false;
    char* name = GetNamePart(path);
    if (CopyWhole(name, sizeof(path) - (size_t)(name - path), fileName)) return true;
    path[0] = 0;
    return false;
}
