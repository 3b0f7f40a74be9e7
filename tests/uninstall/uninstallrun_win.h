// Wine-test support for the uninstall flow: an installation folder with a copy of the
// program, runs of it in either Windows family, the COMSPEC stand-in, files held in use,
// and the system state that a run may change (restart deletions, wininit.ini).
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/testenv_win.h"

namespace uninsttest {
using namespace testenv;

enum class Family { Nt, Win9x };
inline const char* FamilyName(Family f) { return f == Family::Nt ? "NT" : "9x"; }
inline void PrintTo(Family f, std::ostream* os) { *os << FamilyName(f); }

inline const char SessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
inline const wchar_t PendingValue[] = L"PendingFileRenameOperations";

// The test process's environment with some variables replaced, as a block for CreateProcessA.
inline std::string EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& vars) {
    std::string block;
    char* env = GetEnvironmentStringsA();
    for (const char* p = env; *p; p += strlen(p) + 1) {
        std::string entry = p;
        bool replaced = false;
        for (const auto& v : vars) {
            if (entry.size() > v.first.size() && entry[v.first.size()] == '=' &&
                CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, entry.c_str(), (int)v.first.size(),
                               v.first.c_str(), (int)v.first.size()) == CSTR_EQUAL) {
                replaced = true;
            }
        }
        if (!replaced) block += entry + '\0';
    }
    FreeEnvironmentStringsA(env);
    for (const auto& v : vars) block += v.first + "=" + v.second + '\0';
    block += '\0';
    return block;
}

inline std::string TempFolder() {
    char path[MAX_PATH];
    DWORD len = GetTempPathA(sizeof(path), path);
    return std::string(path, len);
}

inline std::string WindowsFolder() {
    char path[MAX_PATH];
    UINT len = GetWindowsDirectoryA(path, sizeof(path));
    return std::string(path, len);
}

inline std::string ShortPath(const std::string& path) {
    char s[MAX_PATH];
    DWORD len = GetShortPathNameA(path.c_str(), s, sizeof(s));
    return (len == 0 || len >= sizeof(s)) ? path : std::string(s, len);
}

inline bool WaitFor(bool (*check)(const std::string&), const std::string& path, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (check(path)) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
}
inline bool IsThere(const std::string& path) { return Exists(path); }
inline bool IsGone(const std::string& path) { return !Exists(path); }

// Every file and folder below a folder, as relative paths, sorted.
inline void CollectTree(const std::string& folder, const std::string& prefix, std::vector<std::string>* names) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        names->push_back(prefix + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectTree(folder + "\\" + name, prefix + name + "\\", names);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}
inline std::vector<std::string> TreeOf(const std::string& folder) {
    std::vector<std::string> names;
    CollectTree(folder, "", &names);
    std::sort(names.begin(), names.end());
    return names;
}

// The raw registry value (type and bytes), put back as it was when the object goes.
class RegistryValueBackup {
public:
    RegistryValueBackup(HKEY root, const char* key, const wchar_t* value) : root_(root), key_(key), value_(value) {
        HKEY k;
        if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
        DWORD size = 0;
        if (RegQueryValueExW(k, value_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
            data_.resize(size);
            present_ = RegQueryValueExW(k, value_.c_str(), nullptr, &type_, (BYTE*)&data_[0], &size) == ERROR_SUCCESS;
        }
        RegCloseKey(k);
    }
    ~RegistryValueBackup() { Restore(); }
    RegistryValueBackup(const RegistryValueBackup&) = delete;
    RegistryValueBackup& operator=(const RegistryValueBackup&) = delete;
    void Restore() {
        HKEY k;
        if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
        if (present_) RegSetValueExW(k, value_.c_str(), 0, type_, (const BYTE*)data_.data(), (DWORD)data_.size());
        else RegDeleteValueW(k, value_.c_str());
        RegCloseKey(k);
    }
private:
    HKEY root_;
    std::string key_;
    std::wstring value_;
    bool present_ = false;
    DWORD type_ = 0;
    std::string data_;
};

// The strings of PendingFileRenameOperations, in order (each source is followed by its
// new name, empty for a deletion).
inline std::vector<std::string> PendingRenames() {
    std::vector<std::string> result;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManagerKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return result;
    DWORD size = 0, type = 0;
    std::wstring data;
    if (RegQueryValueExW(k, PendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size) {
        data.resize(size / sizeof(wchar_t) + 1);
        RegQueryValueExW(k, PendingValue, nullptr, &type, (BYTE*)&data[0], &size);
        data.resize(size / sizeof(wchar_t));
    }
    RegCloseKey(k);
    size_t pos = 0;
    while (pos < data.size()) {
        size_t end = data.find(L'\0', pos);
        if (end == std::wstring::npos) end = data.size();
        result.push_back(Utf8(data.substr(pos, end - pos)));
        pos = end + 1;
    }
    return result;
}

// True when the path is scheduled for deletion (not for a rename) at the restart.
inline bool PendingDeletion(const std::string& path) {
    std::vector<std::string> pending = PendingRenames();
    for (size_t i = 0; i + 1 < pending.size(); i += 2) {
        const std::string& source = pending[i];
        if (source.size() >= path.size() &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, source.c_str() + source.size() - path.size(),
                           (int)path.size(), path.c_str(), (int)path.size()) == CSTR_EQUAL &&
            pending[i + 1].empty()) {
            return true;
        }
    }
    return false;
}

// A file's bytes (or its absence), put back when the object goes.
class FileBackup {
public:
    explicit FileBackup(const std::string& path) : path_(path) { present_ = ReadFileBytes(path_, &bytes_); }
    ~FileBackup() { Restore(); }
    FileBackup(const FileBackup&) = delete;
    FileBackup& operator=(const FileBackup&) = delete;
    void Restore() {
        if (present_) WriteFileBytes(path_, bytes_);
        else DeleteFileA(path_.c_str());
    }
private:
    std::string path_;
    bool present_ = false;
    std::string bytes_;
};

// A helper process that holds a file in use until the object goes.
class Holder {
public:
    // mode "load": a loaded library (renamed, not deleted); "open": open without delete sharing.
    bool Start(const std::string& mode, const std::string& path, const std::string& readyFile) {
        DeleteFileA(readyFile.c_str());
        std::string cmd = "\"" + BinDir() + "\\uninstholder.exe\" " + mode + " \"" + path + "\" \"" + readyFile + "\"";
        if (!process_.Start(cmd)) return false;
        return WaitFor(IsThere, readyFile, 10000);
    }
    ~Holder() { process_.Kill(); }
private:
    Process process_;
};

// The program's message box: its caption and text (wide, as the screen has them).
struct Box {
    HWND window = nullptr;
    std::string caption, text;
};
struct BoxQuery {
    DWORD processId;
    const char* text;
    Box found;
};
inline BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
    BoxQuery* q = reinterpret_cast<BoxQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64];
    if (pid != q->processId || !IsWindowVisible(window) || !GetClassNameA(window, cls, sizeof(cls)) ||
        strcmp(cls, "#32770") != 0) {
        return TRUE;
    }
    std::string text = Utf8(DlgItemTextW(window, 0xFFFF));
    if (q->text && text != q->text) return TRUE;
    q->found = Box{window, Utf8(WindowTextW(window)), text};
    return FALSE;
}
// A message box of the process; with a text given, only one that shows it.
inline Box WaitForBox(DWORD processId, DWORD timeoutMs, const char* text = nullptr) {
    DWORD start = GetTickCount();
    for (;;) {
        BoxQuery q{processId, text, Box()};
        EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&q));
        if (q.found.window || GetTickCount() - start > timeoutMs) return q.found;
        Sleep(50);
    }
}
inline void Press(HWND box, int button) {
    HWND item = GetDlgItem(box, button);
    if (item) SendMessageW(item, BM_CLICK, 0, 0);
    else PostMessageW(box, WM_COMMAND, button, 0);
}

inline const char Caption[] = "卸载 Kolvex";

// An installation folder under C:\kvxtest\uninst with a copy of the program, runs of it,
// and the COMSPEC stand-in's findings. Restart deletions, wininit.ini and the Windows
// version given to the copy are put back afterwards.
class UninstallRun : public ::testing::Test {
protected:
    UninstallRun() : root_("uninst") {}

    void SetUp() override {
        // A name of its own each time: a stand-in started late by an earlier test must not
        // report into this one.
        capture_ = root_ / ("capture" + std::to_string(GetTickCount()));
        CreateDirectoryA(capture_.c_str(), nullptr);
        DeleteFileA(BatchPath().c_str());
    }
    void TearDown() override {
        program_.Kill();
        holders_.clear();
        if (!programName_.empty()) SetAppVersion(programName_, "");
        pending_.Restore();
        wininit_.Restore();
        DeleteFileA(BatchPath().c_str());
    }

    // The installation folder root\folderName with the program copied into it.
    void Install(Family family, const std::string& folderName = "inst") {
        InstallAt(family, root_ / folderName);
    }
    // The same in a folder given in full (a drive root ends with its backslash).
    void InstallAt(Family family, const std::string& folder) {
        family_ = family;
        inst_ = folder;
        if (!inst_.empty() && inst_.back() == '\\') inst_.pop_back();
        CreateDirectoryA(folder.c_str(), nullptr);
        programName_ = family == Family::Nt ? "uninstall.exe" : "uninst98.exe";
        ASSERT_TRUE(CopyFileTo(ProgramPath(), At(programName_)));
        if (family == Family::Win9x) SetAppVersion(programName_, "win98");
    }
    std::string At(const std::string& rel) const { return inst_ + "\\" + rel; }
    std::string ProgramFile() const { return At(programName_); }
    std::string BatchPath() const { return TempFolder() + "Uninstall_Kvx.Bat"; }
    void Write(const std::string& rel, const std::string& bytes = "x") { ASSERT_TRUE(WriteFileBytes(At(rel), bytes)); }
    void Dir(const std::string& rel) { ASSERT_TRUE(CreateDirectoryA(At(rel).c_str(), nullptr)); }
    void List(const std::string& bytes) { Write("Uninstall.lst", bytes); }
    bool Has(const std::string& rel) const { return Exists(At(rel)); }

    // Holds a file of the installation folder in use for the rest of the test.
    void Hold(const std::string& mode, const std::string& rel) {
        holders_.emplace_back(new Holder);
        ASSERT_TRUE(holders_.back()->Start(mode, At(rel), root_ / ("held" + std::to_string(holders_.size()))));
    }

    // Starts the program with the COMSPEC stand-in in place of the command interpreter;
    // runBatch hands the batch on to the real one.
    void Start(const std::string& args, bool runBatch = false, const std::string& tempFolder = "") {
        std::vector<std::pair<std::string, std::string>> vars = {
            {"COMSPEC", BinDir() + "\\uninstcapture.exe"},
            {"KVX_CAPTURE_DIR", capture_},
            {"KVX_CAPTURE_RUN", runBatch ? "1" : "0"},
        };
        if (!tempFolder.empty()) {
            vars.push_back({"TEMP", tempFolder});
            vars.push_back({"TMP", tempFolder});
        }
        env_ = EnvironmentWith(vars);
        ASSERT_TRUE(program_.Start("\"" + ProgramFile() + "\" " + args, root_.Path(), env_.c_str()));
    }
    // Starts the program as the system would, with the real command interpreter.
    void StartPlain(const std::string& args) {
        ASSERT_TRUE(program_.Start("\"" + ProgramFile() + "\" " + args, root_.Path()));
    }
    bool Ends(DWORD timeoutMs = 20000) { return program_.Wait(timeoutMs); }
    bool BatchCaptured(DWORD timeoutMs = 10000) { return WaitFor(IsThere, capture_ + "\\ready", timeoutMs); }
    std::string Captured(const std::string& name) {
        std::string bytes;
        ReadFileBytes(capture_ + "\\" + name, &bytes);
        return bytes;
    }

    ScratchDir root_;
    std::string inst_, capture_, programName_, env_;
    Family family_ = Family::Nt;
    Process program_;
    std::vector<std::unique_ptr<Holder>> holders_;
    RegistryValueBackup pending_{HKEY_LOCAL_MACHINE, SessionManagerKey, PendingValue};
    FileBackup wininit_{WindowsFolder() + "\\wininit.ini"};
};

}  // namespace uninsttest
