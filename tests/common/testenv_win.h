// Shared helpers of the Wine tests: paths of the test build, scratch folders, processes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testenv {

// Folder of the running test program (the build's bin folder), without a trailing backslash.
std::string BinDir();
// Folder of the fixture libraries and files.
std::string FixtureDir();
// The 64-bit build of the program under test.
std::string ProgramPath();

bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool CopyFileTo(const std::string& from, const std::string& to);
// Deletes a file or a whole folder tree; read-only files too. True when it is gone.
bool DeleteTree(const std::string& path);
bool Exists(const std::string& path);

// A fresh folder under C:\kvxtest, emptied again when the object goes.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
private:
    std::string path_;
};

struct ProcessResult {
    bool started = false;
    bool finished = false;   // false: timed out (the process was killed)
    DWORD exitCode = 0;
    DWORD elapsedMs = 0;
};

// Runs a command line and waits for it; kills it after timeoutMs.
ProcessResult RunAndWait(const std::string& commandLine, const std::string& workDir = "",
                         DWORD timeoutMs = 60000);

// A started process; the handle is closed (not killed) when the object goes.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Start(const std::string& commandLine, const std::string& workDir = "",
               const char* environment = nullptr);
    // Waits for the end; false on time-out.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Top-level window of the given process (0: any) whose class and caption match; waits up
// to timeoutMs for it. className or caption may be null to match any.
HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs);
// Wide window text (the program's Chinese texts reach the screen as UTF-16).
std::wstring WindowTextW(HWND window);
std::wstring DlgItemTextW(HWND dialog, int id);
// UTF-8 to UTF-16, for comparing with texts written in the test sources.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// The program's ANSI code page text (as it writes it) from UTF-8 test text.
std::string Ansi(const std::string& utf8);

// Registry helpers for tests: delete a tree, read a string, check a key.
bool RegTreeDelete(HKEY root, const char* path, REGSAM view = 0);
bool RegKeyPresent(HKEY root, const char* path, REGSAM view = 0);
bool RegReadString(HKEY root, const char* path, const char* name, std::string* value, REGSAM view = 0);
bool RegReadDword(HKEY root, const char* path, const char* name, DWORD* value, REGSAM view = 0);

// Sets the Windows version that Wine reports to programs of the given file name
// ("win98", "winxp", "win10"); an empty version removes the setting.
void SetAppVersion(const std::string& exeName, const std::string& version);

}  // namespace testenv
