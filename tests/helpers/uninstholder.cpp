// Holds a file in use the two ways that Windows tells apart, until it is ended:
//   uninstholder load PATH READY  loads PATH as a library (it can be renamed, not deleted)
//   uninstholder open PATH READY  opens PATH without delete sharing (neither)
// READY is created once the file is held.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    if (strcmp(argv[1], "load") == 0) {
        if (!LoadLibraryA(argv[2])) return 3;
    } else if (strcmp(argv[1], "open") == 0) {
        HANDLE h = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) return 3;
    } else {
        return 2;
    }
    FILE* ready = fopen(argv[3], "wb");
    if (ready) fclose(ready);
    // Ended by the test; the time-out only keeps a forgotten holder from living on.
    Sleep(120000);
    return 0;
}
