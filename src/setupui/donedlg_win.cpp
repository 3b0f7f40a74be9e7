// The completion dialog: where Kolvex now lives, and buttons that start it, open its help,
// its licence, the order page and the home page.
#include "setupui/donedlg.h"

#include <shellapi.h>

#include "localization/dlglocal.h"
#include "localization/messages.h"
#include "resources/resource.h"
#include "setupui/donedlgfiles.h"
#include "startup/startup.h"
#include "support/pathutil.h"

ShellOpenRoutine ShellOpen = ShellExecuteA;

namespace {
const DWORD FolderSize = 1024;
// A quoted path of the folder's size.
const size_t CommandLineSize = FolderSize + 2;

// The setup runs in the installation folder (the installer starts it there and nothing
// changes the directory), so the current directory is where the product files are.
bool CurrentFolder(char (&folder)[FolderSize]) {
    DWORD len = GetCurrentDirectoryA(FolderSize, folder);
    if (len == 0 || len >= FolderSize) {
        folder[0] = 0;
        return false;
    }
    return true;
}

void OnInitDialog(HWND dialog) {
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)AppIcon);
    SendDlgItemMessageA(dialog, IDC_THANKS, WM_SETFONT, (WPARAM)BoldDialogFont, 0);
    char folder[FolderSize];
    if (CurrentFolder(folder)) SetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, folder);
    // A silent setup has nobody to press Finish.
    if (SilentMode) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// Programs and documents run on by themselves: nothing waits for them, and a file that is
// missing simply does not open.
void UseInstalledFile(const FileButton& button) {
    char folder[FolderSize];
    char path[FolderSize];
    if (!CurrentFolder(folder) || !JoinFolderAndName(path, folder, button.FileName)) return;
    if (button.Use == FileUse::Start) {
        char commandLine[CommandLineSize];
        if (QuoteProgramPath(commandLine, path)) RunProgram(commandLine, nullptr, 0);
        return;
    }
    ShellOpen(nullptr, "open", path, nullptr, "", SW_SHOWNORMAL);
}

void OnCommand(HWND dialog, int ctrlId) {
    switch (ctrlId) {
        case IDOK:
        case IDCANCEL:
            // Kolvex is installed however the dialog is left.
            EndDialog(dialog, 1);
            return;
        case IDC_READ_HELP:
            OpenHelp(dialog, HelpFileName, HELP_FINDER, 0);
            return;
        case IDC_VISIT_HOME_PAGE:
            ShellOpen(nullptr, "open", GetMsg(IDS_HOME_PAGE), nullptr, "", SW_SHOWNORMAL);
            return;
    }
    if (const FileButton* button = FindFileButton(ctrlId)) UseInstalledFile(*button);
}
}  // namespace

INT_PTR CALLBACK DoneDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CommonDialogMessage(dialog, message, wParam, lParam, DONE_DIALOG_NAME, NoHelpContext, false);
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

// The system may write into the command line it is given, so it gets a copy of its own;
// a command line longer than a quoted path of the folder's size is refused, not cut.
bool RunProgram(const char* commandLine, const char* workDir, DWORD waitMs) {
    char line[CommandLineSize];
    if (!CopyWhole(line, commandLine)) return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, workDir, &startup, &process)) {
        return false;
    }
    if (waitMs != 0) WaitForSingleObject(process.hProcess, waitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
