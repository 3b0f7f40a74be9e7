// Writes the self-removal batch into the temporary folder and starts it hidden.
#include "uninstall/selfremoval.h"

#include <windows.h>

#include <cstdio>

#include "support/platform.h"
#include "uninstall/ownedhandle_win.h"

namespace {
// A batch cut short (a full disk) could act on a cut path: such a file is removed, not run.
bool WriteBatch(const char* batchPath, const std::string& text) {
    // Binary: the batch's line ends are written exactly as formed.
    OwnedStream out(fopen(batchPath, "wb"));
    if (!out.Get()) return false;
    bool written = fwrite(text.data(), 1, text.size(), out.Get()) == text.size();
    if (out.Close() && written) return true;
    DeleteFileA(batchPath);
    return false;
}

// The handle must be inheritable: a standard handle that the child does not inherit is a
// number that means nothing, or something else, in the child.
HANDLE OpenNulDevice() {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

// NT family: a hidden console window. 9x family: no console at all, and the standard
// handles on NUL so that the batch's output goes nowhere.
bool StartBatch(char* commandLine, bool ntFamily) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    OwnedHandle nul(ntFamily ? INVALID_HANDLE_VALUE : OpenNulDevice());
    DWORD creationFlags = 0;
    if (ntFamily) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    } else {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.Get();
        creationFlags = DETACHED_PROCESS;
    }
    // Neither this process nor the batch, which inherits the current directory, may hold
    // the installation folder, or the batch could not remove it.
    SetCurrentDirectoryA("..");
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, creationFlags, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}
}  // namespace

// Whatever does not fit its buffer means no batch: a cut path could delete something else.
void StartSelfRemoval(const char* programPath) {
    char tempFolder[1024];
    DWORD len = GetTempPathA(sizeof(tempFolder), tempFolder);
    if (len == 0 || len >= sizeof(tempFolder)) return;
    char batchPath[1024];
    if (!FormBatchPath(batchPath, sizeof(batchPath), tempFolder)) return;
    char folder[1024];
    len = GetCurrentDirectoryA(sizeof(folder), folder);
    if (len == 0 || len >= sizeof(folder)) return;
    // Without COMSPEC the command line starts with a blank and nothing runs.
    char comspec[1024] = "";
    len = GetEnvironmentVariableA("COMSPEC", comspec, sizeof(comspec));
    if (len >= sizeof(comspec)) return;
    if (len == 0) comspec[0] = 0;
    char commandLine[2 * 1024 + 16];
    if (!FormBatchCommandLine(commandLine, sizeof(commandLine), comspec, batchPath)) return;

    // Everything is checked before the batch is written, so that no batch is left behind
    // in the temporary folder that nothing will run.
    bool ntFamily = WinNtVersion() != 0;
    if (!WriteBatch(batchPath, BuildRemovalBatch(ntFamily, programPath, folder, batchPath))) return;
    if (!StartBatch(commandLine, ntFamily)) DeleteFileA(batchPath);
}
