// The setup dialog: the user's choices of formats, shortcuts and shell integration, and on
// OK the whole integration of Kolvex into the system.
#include "setupui/setupdlg.h"

#include <richedit.h>

#include "integration/integration.h"
#include "localization/dlglocal.h"
#include "resources/resource.h"
#include "setupui/contextitems.h"
#include "startup/startup.h"

SetupConfirmSteps ConfirmSteps = {SaveSetupOptions, ApplyIntegration, RegisterUninstaller};

namespace {
void OnInitDialog(HWND dialog) {
    SetupOptions options;
    LoadSetupOptions(options);
    SetOptionsToDialog(dialog, options);
    // The installer that started us may still own the foreground.
    SetForegroundWindow(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)AppIcon);
    // A read-only rich edit keeps the window colour; on the button face the explanation
    // reads as part of the dialog rather than as a field to type into.
    SendDlgItemMessageA(dialog, IDC_EXPLANATION, EM_SETBKGNDCOLOR, 0, (LPARAM)GetSysColor(COLOR_BTNFACE));
    // A silent setup takes the saved (or default) choices as they are.
    if (SilentMode) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// The choices are saved first, so that the shell extension finds them once it is
// registered; the uninstall registration comes last, when there is something to uninstall.
void OnConfirm(HWND dialog) {
    SetupOptions options;
    GetOptionsFromDialog(dialog, options);
    ConfirmSteps.Save(options);
    ConfirmSteps.Apply(options, ProgramGroupPath);
    ConfirmSteps.Register();
    EndDialog(dialog, 1);
}

// Reading the boxes and showing them again leaves every check state as it is and makes the
// two shell menu boxes follow the new state of the shell integration box.
void OnShellIntegrationClicked(HWND dialog) {
    SetupOptions options;
    GetOptionsFromDialog(dialog, options);
    SetOptionsToDialog(dialog, options);
}

void OnCommand(HWND dialog, int ctrlId) {
    switch (ctrlId) {
        case IDOK:
            OnConfirm(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_SHELL_INTEGRATION:
            OnShellIntegrationClicked(dialog);
            break;
        case IDC_SELECT_ALL:
            CheckAllFormats(dialog);
            break;
        case IDC_CONTEXT_ITEMS:
            // Saved by the items dialog itself on its own OK, whatever happens here later.
            ShowContextItemsDialog(dialog);
            break;
    }
}
}  // namespace

INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CommonDialogMessage(dialog, message, wParam, lParam, SETUP_DIALOG_NAME, SetupHelpContext, false);
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
