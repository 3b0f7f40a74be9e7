// Finds and drives the program's dialogs from outside; used by the demo scripts.
//   dialogdriver wait NAME [TIMEOUT_MS]   waits for the dialog, prints its caption and texts
//   dialogdriver rect NAME                prints its screen rectangle as WxH+X+Y
//   dialogdriver click NAME ID            clicks the control with that id
//   dialogdriver gone NAME [TIMEOUT_MS]   waits until the dialog has closed
//   dialogdriver window TITLE [TIMEOUT_MS]   waits for another top-level window (a folder
//                                           window) with that title, prints its rectangle
//   dialogdriver close-window TITLE        closes that window
// NAME is SETUPDLG, CONTEXTITEMS or DONEDLG; TITLE is plain ASCII. Exit code 0 on success,
// 1 when the window is not there (or still there, for gone), 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/dialogs_win.h"
#include "common/testenv_win.h"
#include "resources/resource.h"

namespace {
// Each dialog by a control that only it has: the setup and the completion dialog share
// their caption, and 5107 is a check box in one and the closing line in the other.
struct KnownDialog {
    const char* Name;
    int CtrlId;
    int WithoutCtrlId;
};
const KnownDialog KnownDialogs[] = {
    {"SETUPDLG", IDC_EXPLANATION, 0},
    {"CONTEXTITEMS", IDC_ITEM_CONVERT, 0},
    {"DONEDLG", IDC_THANKS, IDC_EXPLANATION},
};

const KnownDialog* Lookup(const char* name) {
    for (const KnownDialog& known : KnownDialogs) {
        if (strcmp(known.Name, name) == 0) return &known;
    }
    return nullptr;
}

testenv::DialogQuery QueryFor(const KnownDialog& known) {
    testenv::DialogQuery query;
    query.CtrlId = known.CtrlId;
    query.WithoutCtrlId = known.WithoutCtrlId;
    return query;
}

void PrintUtf8(const std::string& s) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), (DWORD)s.size(), &written, nullptr);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    std::wstring text = testenv::WindowTextW(child);
    if (text.empty()) return TRUE;
    char head[64];
    snprintf(head, sizeof(head), "  %5d: ", GetDlgCtrlID(child) & 0xFFFF);
    PrintUtf8(head + testenv::Utf8(text) + "\n");
    return TRUE;
}

int Usage() {
    fprintf(stderr, "usage: dialogdriver wait|rect|click|gone SETUPDLG|CONTEXTITEMS|DONEDLG [ID|TIMEOUT_MS]\n"
                    "       dialogdriver window|close-window TITLE [TIMEOUT_MS]\n");
    return 2;
}

void PrintRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
}

HWND WaitForTitledWindow(const char* title, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(nullptr, title);
        if (window && IsWindowVisible(window)) return window;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(50);
    }
}

int DriveTitledWindow(const std::string& command, const char* title, DWORD timeoutMs) {
    HWND window = WaitForTitledWindow(title, timeoutMs);
    if (!window) {
        fprintf(stderr, "no window \"%s\"\n", title);
        return 1;
    }
    if (command == "window") PrintRect(window);
    else PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    if (strcmp(argv[1], "window") == 0 || strcmp(argv[1], "close-window") == 0)
        return DriveTitledWindow(argv[1], argv[2], argc > 3 ? (DWORD)atoi(argv[3]) : 10000);
    const KnownDialog* known = Lookup(argv[2]);
    if (!known) return Usage();
    std::string command = argv[1];
    DWORD timeout = (command != "click" && argc > 3) ? (DWORD)atoi(argv[3]) : 10000;
    if (command == "gone") {
        DWORD start = GetTickCount();
        while (testenv::FindDialog(QueryFor(*known))) {
            if (GetTickCount() - start > timeout) return 1;
            Sleep(50);
        }
        return 0;
    }
    HWND dialog = testenv::WaitForDialog(QueryFor(*known), timeout);
    if (!dialog) {
        fprintf(stderr, "no dialog %s\n", known->Name);
        return 1;
    }
    if (command == "wait") {
        PrintUtf8(std::string(known->Name) + " \"" + testenv::Utf8(testenv::WindowTextW(dialog)) + "\"\n");
        EnumChildWindows(dialog, PrintChild, 0);
        return 0;
    }
    if (command == "rect") {
        PrintRect(dialog);
        return 0;
    }
    if (command == "click" && argc > 3) return testenv::PostClick(dialog, atoi(argv[3])) ? 0 : 1;
    return Usage();
}
