// Runs integration steps in a process of its own, so that the tests can run them from an
// installation folder of their choice and under the Windows version Wine reports for the
// file name. The product's texts come from the program file named by STRINGS (loaded as data).
//   integrationprobe STRINGS setup [OUT]     what the setup dialog's OK does, with the saved
//                                            choices; OUT receives the program-group buffer
//   integrationprobe STRINGS links D S G [OUT]  shortcuts only, flags 0 or 1
//   integrationprobe STRINGS entries         application path, type classes, uninstall entry
//   integrationprobe STRINGS remove          everything the uninstaller removes
// Exit code 0, or 200 for a wrong command line.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstring>

#include "integration/integration.h"
#include "integration/shortcuts.h"
#include "localization/messages.h"
#include "setupui/options.h"
#include "uninstall/removeintegration.h"

namespace {

bool Flag(const char* text) { return strcmp(text, "1") == 0; }

// "(untouched)" when nothing was handed back, so the test can tell an empty path from none.
void WriteGroupPath(const char* outPath, const char* groupPath) {
    if (!outPath) return;
    FILE* out = fopen(outPath, "wb");
    if (!out) return;
    fputs(groupPath, out);
    fclose(out);
}

int Run(int argc, char** argv) {
    const char* command = argv[2];
    char groupPath[IntegrationPathSize] = "(untouched)";
    if (strcmp(command, "setup") == 0 && argc <= 4) {
        SetupOptions options;
        LoadSetupOptions(options);
        SaveSetupOptions(options);
        ApplyIntegration(options, groupPath);
        RegisterUninstaller();
        WriteGroupPath(argc == 4 ? argv[3] : nullptr, groupPath);
        return 0;
    }
    if (strcmp(command, "links") == 0 && (argc == 6 || argc == 7)) {
        SetupOptions options;
        options[SlotDesktopLink] = Flag(argv[3]);
        options[SlotStartMenuLink] = Flag(argv[4]);
        options[SlotProgramGroup] = Flag(argv[5]);
        UpdateShortcuts(options, groupPath);
        WriteGroupPath(argc == 7 ? argv[6] : nullptr, groupPath);
        return 0;
    }
    if (strcmp(command, "entries") == 0 && argc == 3) {
        RegisterAppPath();
        RegisterTypeClasses();
        RegisterUninstaller();
        return 0;
    }
    if (strcmp(command, "remove") == 0 && argc == 3) {
        RemoveIntegration();
        return 0;
    }
    return 200;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: integrationprobe STRINGS setup [OUT] | links D S G [OUT] | entries | remove\n");
        return 200;
    }
    HMODULE strings = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!strings) return 201;
    ProgramModule = ResourceModule = (HINSTANCE)strings;
    OleInitialize(nullptr);
    int result = Run(argc, argv);
    OleUninitialize();
    ProgramModule = ResourceModule = nullptr;
    FreeLibrary(strings);
    return result;
}
