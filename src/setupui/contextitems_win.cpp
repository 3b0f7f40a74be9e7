// The context menu items dialog: one check box per command of the shell extension's
// context menu, loaded from and saved to the settings that the extension reads.
#include "setupui/contextitems.h"

#include "localization/dlglocal.h"
#include "localization/messages.h"
#include "registry/regaccess.h"
#include "resources/resource.h"

namespace {
// Relative to the product's settings key; the shell extension looks here.
const char MenuItemsKey[] = "Setup\\MenuItems";

struct ContextItem {
    int CtrlId;
    const char* ValueName;
    DWORD DefaultValue;
};
// Test and Convert are for the few who need them and stay hidden until asked for.
const ContextItem ContextItems[] = {
    {IDC_ITEM_EXTRACT_FILES, "ExtrTo", 1},
    {IDC_ITEM_EXTRACT_HERE, "ExtrHere", 1},
    {IDC_ITEM_EXTRACT_TO_FOLDER, "Extr", 1},
    {IDC_ITEM_EXTRACT_SEPARATE, "ExtrSep", 1},
    {IDC_ITEM_OPEN_SFX, "OpenSFX", 1},
    {IDC_ITEM_ADD_TO_ARCHIVE, "AddTo", 1},
    {IDC_ITEM_ADD_TO_NAMED, "AddArc", 1},
    {IDC_ITEM_EMAIL_NAMED, "EmailArc", 1},
    {IDC_ITEM_EMAIL_OPTIONS, "EmailOpt", 1},
    {IDC_ITEM_TEST, "Test", 0},
    {IDC_ITEM_CONVERT, "Convert", 0},
};

void OnInitDialog(HWND dialog) {
    for (const ContextItem& item : ContextItems) {
        DWORD shown = GetUserDword(MenuItemsKey, item.ValueName, item.DefaultValue);
        // Any non-zero number means shown. Passed on as it is, a 2 would ask the check box
        // for its "indeterminate" state, which a two-state box does not have.
        CheckDlgButton(dialog, item.CtrlId, shown ? BST_CHECKED : BST_UNCHECKED);
    }
}

// Every value is written, changed or not, so that the shell extension always finds the
// whole set as 0 or 1.
void SaveItems(HWND dialog) {
    for (const ContextItem& item : ContextItems) {
        DWORD shown = IsDlgButtonChecked(dialog, item.CtrlId) == BST_CHECKED ? 1 : 0;
        SetUserDword(MenuItemsKey, item.ValueName, shown);
    }
}

// True when the command was this dialog's own.
bool OnCommand(HWND dialog, int ctrlId) {
    switch (ctrlId) {
        case IDOK:
            SaveItems(dialog);
            EndDialog(dialog, 1);
            return true;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return true;
    }
    return false;
}
}  // namespace

// The result (1 after OK, 0 after Cancel) tells the caller whether anything was saved.
INT_PTR ShowContextItemsDialog(HWND owner) {
    return DialogBoxParamA(ResourceModule, CONTEXT_ITEMS_DIALOG_NAME, owner, ContextItemsDlgProc, 0);
}

INT_PTR CALLBACK ContextItemsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CommonDialogMessage(dialog, message, wParam, lParam, CONTEXT_ITEMS_DIALOG_NAME,
                        ContextItemsHelpContext, false);
    switch (message) {
        case WM_HELP:
            // The topic is open already. Left unhandled, the dialog manager would pass F1 on
            // to the owner, and the setup dialog behind would open its own topic on top.
            return TRUE;
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam)) ? TRUE : FALSE;
    }
    return FALSE;
}
