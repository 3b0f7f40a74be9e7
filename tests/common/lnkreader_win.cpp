// Reads shortcut files with lnkinfo, a Unix tool outside Wine.
#include "common/lnkreader_win.h"

#include <windows.h>

#include <sstream>

#include "common/testenv_win.h"

namespace testenv {

std::string UnixPath(const std::string& windowsPath) {
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn unixName =
        (UnixNameFn)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    if (!unixName) return "";
    // Windows paths here are ANSI (code page 936), as the program writes them.
    int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, &wide[0], n);
    char* name = unixName(wide.c_str());
    if (!name) return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Wine starts a Unix program without waiting for it, and its exit code and standard output
// do not come back: the shell writes the report to a file under a temporary name and renames
// it when lnkinfo has finished, and the test waits for that name.
bool DescribeLink(const std::string& linkPath, std::string* report) {
    const std::string outPath = "C:\\kvxtest\\lnkinfo-report.txt";
    CreateDirectoryA("C:\\kvxtest", nullptr);
    DeleteFileA(outPath.c_str());
    std::string link = UnixPath(linkPath);
    std::string out = UnixPath(outPath);
    if (link.empty() || out.empty() || link.find('\'') != std::string::npos) return false;
    // The Unix paths are UTF-8: the command line goes through the wide API, not the ANSI code page.
    std::wstring command = Wide("/bin/sh -c \"/usr/bin/lnkinfo '" + link + "' > '" + out + ".part' 2>&1; mv '" +
                                out + ".part' '" + out + "'\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < 20000; waited += 50) {
        if (ReadFileBytes(outPath, report)) {
            DeleteFileA(outPath.c_str());
            return true;
        }
        Sleep(50);
    }
    return false;
}

std::map<std::string, std::string> LinkFields(const std::string& report) {
    std::map<std::string, std::string> fields;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        size_t nameStart = line.find_first_not_of(" \t");
        size_t nameEnd = line.find_last_not_of(" \t", colon - 1);
        if (nameStart == std::string::npos || nameEnd == std::string::npos || nameStart > nameEnd) continue;
        std::string name = line.substr(nameStart, nameEnd - nameStart + 1);
        size_t valueStart = line.find_first_not_of(" \t", colon + 1);
        std::string value = valueStart == std::string::npos ? "" : line.substr(valueStart);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        fields.emplace(name, value);
    }
    return fields;
}

}  // namespace testenv
