// A stand-in program for tests that start one: it writes its command line and working
// folder into started.txt next to itself, appending one line per start, and ends.
#include <windows.h>

#include <string>

int main() {
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return 1;
    std::string marker(path, len);
    marker = marker.substr(0, marker.find_last_of('\\') + 1) + "started.txt";
    char folder[MAX_PATH];
    DWORD folderLen = GetCurrentDirectoryA(MAX_PATH, folder);
    std::string line = std::string(GetCommandLineA()) + "|" + std::string(folder, folderLen) + "\r\n";
    HANDLE file = CreateFileA(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), (DWORD)line.size(), &written, nullptr);
    CloseHandle(file);
    return 0;
}
