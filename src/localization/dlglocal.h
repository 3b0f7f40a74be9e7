// What every dialog procedure hands over first: mirroring, localization and help.
#pragma once
#include <windows.h>

// Help topics of the dialogs in the help file; a dialog without help passes 0.
constexpr int SetupHelpContext = 4288;
constexpr int ContextItemsHelpContext = 4976;
constexpr int NoHelpContext = 0;

// The help file, named without a folder: the help viewer finds it next to the program.
extern const char HelpFileName[];

// Opens the help file; WinHelpA in the program. Tests put their own routine here to see
// which file and topic a dialog asks for without starting a help viewer.
using HelpRoutine = BOOL(WINAPI*)(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data);
extern HelpRoutine OpenHelp;

// Call it first from every dialog procedure, with every message, then go on with your own
// handling of the same message whatever it did:
//   dialog, message, wParam, lParam  as the dialog procedure received them;
//   dialogName    the dialog's resource name ("SETUPDLG", "DONEDLG", "CONTEXTITEMS"), which
//                 is also the context of its texts in the language file;
//   helpContext   the dialog's topic in the help file, NoHelpContext for none;
//   propertyPage  true for a page of a property sheet (the sheet keeps its own size and
//                 title and is mirrored with the page).
// WM_SETFONT mirrors the dialog for right-to-left languages (it arrives before the
// controls exist), WM_INITDIALOG translates and rescales it (after they exist), and the
// Help button, F1 (WM_HELP) and a page's PSN_HELP open the help file at helpContext.
// Example: CommonDialogMessage(dialog, message, wParam, lParam, "SETUPDLG",
//                              SetupHelpContext, false);
void CommonDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                         const char* dialogName, int helpContext, bool propertyPage);
