// Finds a top-level window by class and prints or closes it; used by the demo scripts.
//   windowprobe wait CLASS [TIMEOUT_MS]   prints caption and texts of the first such window
//   windowprobe close CLASS               presses its default button (IDOK, then IDCANCEL)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/testenv_win.h"

namespace {
void PrintUtf8(const std::string& s) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), (DWORD)s.size(), &written, nullptr);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    std::wstring text = testenv::WindowTextW(child);
    if (!text.empty()) {
        char line[64];
        snprintf(line, sizeof(line), "  control %d: ", GetDlgCtrlID(child));
        PrintUtf8(line + testenv::Utf8(text) + "\n");
    }
    return TRUE;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: windowprobe wait|close CLASS [TIMEOUT_MS]\n");
        return 2;
    }
    DWORD timeout = argc > 3 ? (DWORD)atoi(argv[3]) : 10000;
    HWND window = testenv::WaitForWindow(0, argv[2], nullptr, timeout);
    if (!window) {
        fprintf(stderr, "no window of class %s\n", argv[2]);
        return 1;
    }
    if (strcmp(argv[1], "close") == 0) {
        HWND button = GetDlgItem(window, IDOK) ? GetDlgItem(window, IDOK) : GetDlgItem(window, IDCANCEL);
        PostMessageW(window, WM_COMMAND, button ? GetDlgCtrlID(button) : IDCANCEL, 0);
        return 0;
    }
    PrintUtf8("window \"" + testenv::Utf8(testenv::WindowTextW(window)) + "\"\n");
    EnumChildWindows(window, PrintChild, 0);
    return 0;
}
