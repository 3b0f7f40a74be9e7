// Runs one registry or association operation in a process of its own, so that the tests can
// start it under the Windows version that Wine reports for its file name.
//   regprobe version                        exit code = the NT major version, 0 on the 9x family
//   regprobe deltree PATH                   deletes a tree below HKEY_CURRENT_USER
//   regprobe assoc EXT ASSOC SHELLNEW KVX ZIP   one extension, flags 0 or 1
#include <cstdio>
#include <cstring>

#include "integration/associations.h"
#include "registry/regaccess.h"
#include "support/platform.h"

namespace {
bool Flag(const char* text) { return strcmp(text, "1") == 0; }
}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "version") == 0) return WinNtVersion();
    if (argc == 3 && strcmp(argv[1], "deltree") == 0) {
        DeleteRegTree(HKEY_CURRENT_USER, argv[2]);
        return 0;
    }
    if (argc == 7 && strcmp(argv[1], "assoc") == 0) {
        SetExtensionAssociation(argv[2], Flag(argv[3]), Flag(argv[4]), Flag(argv[5]), Flag(argv[6]));
        return 0;
    }
    fprintf(stderr, "usage: regprobe version | deltree PATH | assoc EXT A S K Z\n");
    return 200;
}
