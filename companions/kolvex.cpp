// Stand-in for the archiver: shows which file the shell asked it to open.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

// The shell passes the archive as the one argument; started from a shortcut there is none.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring text = L"Kolvex (stand-in)\n";
    if (args && count > 1) text += args[1];
    else text += L"(no file)";
    if (args) LocalFree(args);
    MessageBoxW(nullptr, text.c_str(), L"Kolvex", MB_OK | MB_SETFOREGROUND);
    return 0;
}
