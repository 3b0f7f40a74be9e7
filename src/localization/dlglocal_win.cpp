// Dialog localization, right-to-left mirroring and help routing for every dialog.
#include "localization/dlglocal.h"

#include <commctrl.h>
#include <prsht.h>

#include "localization/dlgscale.h"
#include "localization/langres.h"
#include "support/platform.h"

const char HelpFileName[] = "kolvex.hlp";
HelpRoutine OpenHelp = WinHelpA;

namespace {
// A dialog with more children than this has only the first ones translated and moved; it
// also ends the walk should the window list ever loop.
const int MaxLocalizedChildren = 512;

ScreenRect ToScreenRect(const RECT& r) { return ScreenRect{(int)r.left, (int)r.top, (int)r.right, (int)r.bottom}; }

void ShowHelp(HWND dialog, int helpContext) {
    OpenHelp(dialog, HelpFileName, HELP_CONTEXT, (ULONG_PTR)helpContext);
}

// A text longer than the buffer is left as it is: reading it back cut and setting it
// again would lose its end, and its key would not match anyway.
void TranslateWindowText(const LanguageResources& language, HWND window, const char* dialogName,
                         bool evenEmpty) {
    if (GetWindowTextLengthA(window) >= DialogTextSize) return;
    char text[DialogTextSize];
    int length = GetWindowTextA(window, text, sizeof(text));
    if (length < 0) length = 0;
    text[length < DialogTextSize ? length : DialogTextSize - 1] = 0;
    if (length == 0 && !evenEmpty) return;
    language.Translate(text, text, dialogName, TextKind::Dialog);
    SetWindowTextA(window, text);
}

// A drop-down combo box reports only its edit part as its window; the list below it
// has to grow with the rest.
bool GetDroppedRect(HWND control, ScreenRect* dropped) {
    char className[64];
    if (!GetClassNameA(control, className, sizeof(className))) return false;
    if (CompareNamesNoCase(className, "COMBOBOX") != 0) return false;
    if ((GetWindowLongA(control, GWL_STYLE) & 3) == CBS_SIMPLE) return false;
    RECT r = {};
    SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&r);
    *dropped = ToScreenRect(r);
    return true;
}

void ScaleChild(HWND child, const DialogFrame& frame, int widthPercent, int heightPercent) {
    RECT r;
    if (!GetWindowRect(child, &r)) return;
    ScreenRect dropped;
    const ScreenRect* droppedRect = GetDroppedRect(child, &dropped) ? &dropped : nullptr;
    Placement p = ScaleControl(frame, ToScreenRect(r), droppedRect, widthPercent, heightPercent);
    SetWindowPos(child, nullptr, p.x, p.y, p.width, p.height, SWP_NOZORDER | SWP_NOOWNERZORDER);
}

void OnSetFont(HWND dialog, bool propertyPage) {
    if (propertyPage && Language.rightToLeft) {
        HWND sheet = GetParent(dialog);
        if (sheet) {
            HWND tab = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
            Language.ApplyReadingDirection(sheet);
            if (tab) {
                Language.ApplyReadingDirection(tab);
                InvalidateRect(tab, nullptr, TRUE);
            }
        }
    }
    Language.ApplyReadingDirection(dialog);
}

bool IsHelpNotification(LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    return header && header->code == (UINT)PSN_HELP;
}
}  // namespace

void CommonDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                         const char* dialogName, int helpContext, bool propertyPage) {
    switch (message) {
        case WM_SETFONT:
            OnSetFont(dialog, propertyPage);
            break;
        case WM_INITDIALOG:
            Language.LocalizeDialog(dialog, dialogName, propertyPage);
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDHELP && helpContext != NoHelpContext) ShowHelp(dialog, helpContext);
            break;
        case WM_HELP:
            if (helpContext != NoHelpContext) ShowHelp(dialog, helpContext);
            break;
        case WM_NOTIFY:
            // The sheet's Help button asks the current page; the sheet offers that button
            // only on pages that have help, so the topic is not checked here.
            if (propertyPage && IsHelpNotification(lParam)) ShowHelp(dialog, helpContext);
            break;
    }
}

void LanguageResources::ApplyReadingDirection(HWND window) const {
    if (!rightToLeft) return;
    LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, style | WS_EX_LAYOUTRTL);
}

// Translates the title and the control texts, and applies the dialog's scale entry.
// Everything is measured once, before the dialog is resized; the resize keeps the
// top-left corner, so the measures still hold for the controls (a mirrored dialog's
// controls follow its right edge, which is measured again).
void LanguageResources::LocalizeDialog(HWND dialog, const char* dialogName, bool propertyPage) const {
    int widthPercent = 100;
    int heightPercent = 100;
    bool scaled = GetDialogScale(dialogName, widthPercent, heightPercent);
    RECT window = {};
    RECT client = {};
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    bool mirrored = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    DialogFrame frame = MeasureDialog(ToScreenRect(window), client.right, client.bottom,
                                      GetSystemMetrics(SM_CYDLGFRAME), mirrored);
    if (scaled && !propertyPage) {
        Placement size = ScaleDialog(frame, client.right, client.bottom, widthPercent, heightPercent);
        SetWindowPos(dialog, nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
        // Controls of a mirrored dialog keep their distance from its right edge, which the
        // resize has moved; that edge is where they are measured from.
        RECT resized;
        if (mirrored && GetWindowRect(dialog, &resized)) frame.window.right = (int)resized.right;
    }
    // A page's title belongs to the sheet's tab, which the sheet has already drawn.
    if (!propertyPage) TranslateWindowText(*this, dialog, dialogName, true);

    HWND first = GetWindow(dialog, GW_CHILD);
    HWND child = first;
    for (int n = 0; child && n < MaxLocalizedChildren; ++n) {
        TranslateWindowText(*this, child, dialogName, false);
        if (scaled) ScaleChild(child, frame, widthPercent, heightPercent);
        child = GetWindow(child, GW_HWNDNEXT);
        if (child == first) break;
    }
}
