// Shared helpers of the Wine tests.
#include "common/testenv_win.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

namespace testenv {

std::string BinDir() {
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, len);
    return s.substr(0, s.find_last_of('\\'));
}

std::string FixtureDir() { return BinDir() + "\\fixtures"; }
std::string ProgramPath() { return BinDir() + "\\uninstall.exe"; }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), (std::streamsize)bytes.size());
    return (bool)out;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *bytes = s.str();
    return true;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool DeleteTree(const std::string& path) {
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return true;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileA(path.c_str()) != 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            DeleteTree(path + "\\" + name);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return RemoveDirectoryA(path.c_str()) != 0 || !Exists(path);
}

ScratchDir::ScratchDir(const std::string& name) {
    CreateDirectoryA("C:\\kvxtest", nullptr);
    path_ = "C:\\kvxtest\\" + name;
    DeleteTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { DeleteTree(path_); }

Process::~Process() {
    if (process_) CloseHandle(process_);
}

bool Process::Start(const std::string& commandLine, const std::string& workDir, const char* environment) {
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, (LPVOID)environment,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    id_ = pi.dwProcessId;
    return true;
}

bool Process::Wait(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_) return false;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

void Process::Kill() {
    if (process_) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
}

ProcessResult RunAndWait(const std::string& commandLine, const std::string& workDir, DWORD timeoutMs) {
    ProcessResult result;
    Process p;
    DWORD start = GetTickCount();
    result.started = p.Start(commandLine, workDir);
    if (!result.started) return result;
    result.finished = p.Wait(timeoutMs, &result.exitCode);
    result.elapsedMs = GetTickCount() - start;
    if (!result.finished) p.Kill();
    return result;
}

namespace {
struct WindowQuery {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    WindowQuery* q = reinterpret_cast<WindowQuery*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (q->processId && pid != q->processId) return TRUE;
    char buffer[512];
    if (q->className) {
        GetClassNameA(window, buffer, sizeof(buffer));
        if (strcmp(buffer, q->className) != 0) return TRUE;
    }
    if (q->caption) {
        std::wstring text = WindowTextW(window);
        if (text != Wide(q->caption)) return TRUE;
    }
    q->found = window;
    return FALSE;
}
}  // namespace

HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        WindowQuery q = {processId, className, caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&q));
        if (q.found) return q.found;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(50);
    }
}

std::wstring WindowTextW(HWND window) {
    wchar_t buffer[2048];
    int n = GetWindowTextW(window, buffer, 2048);
    return std::wstring(buffer, n > 0 ? n : 0);
}

std::wstring DlgItemTextW(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? WindowTextW(item) : std::wstring();
}

std::wstring Wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &w[0], n);
    return w;
}

std::string Utf8(const std::wstring& wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::string Ansi(const std::string& utf8) {
    std::wstring w = Wide(utf8);
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

bool RegTreeDelete(HKEY root, const char* path, REGSAM view) {
    HKEY key;
    LONG opened = RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | view, &key);
    // Only a missing key is already gone; any other failure must stop the caller's loop.
    if (opened != ERROR_SUCCESS) return opened == ERROR_FILE_NOT_FOUND;
    char name[512];
    for (;;) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        std::string child = std::string(path) + "\\" + name;
        if (!RegTreeDelete(root, child.c_str(), view)) break;
    }
    RegCloseKey(key);
    typedef LONG(WINAPI * DeleteKeyEx)(HKEY, LPCSTR, REGSAM, DWORD);
    DeleteKeyEx del = (DeleteKeyEx)(void*)GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA");
    LONG r = del ? del(root, path, view, 0) : RegDeleteKeyA(root, path);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool RegKeyPresent(HKEY root, const char* path, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool RegReadString(HKEY root, const char* path, const char* name, std::string* value, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    char buffer[4096];
    DWORD size = sizeof(buffer) - 1, type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)buffer, &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    buffer[size] = 0;
    *value = buffer;
    return true;
}

bool RegReadDword(HKEY root, const char* path, const char* name, DWORD* value, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    DWORD size = sizeof(DWORD), type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD;
}

void SetAppVersion(const std::string& exeName, const std::string& version) {
    std::string path = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version.empty()) {
        RegTreeDelete(HKEY_CURRENT_USER, path.c_str());
        return;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version.c_str(), (DWORD)version.size() + 1);
        RegCloseKey(key);
    }
}

}  // namespace testenv
