// Stands in for the command interpreter named by COMSPEC: keeps a copy of the batch it is
// asked to run, its command line and its start-up settings, then (when asked) hands the
// batch to the real cmd.exe.
//   KVX_CAPTURE_DIR  folder for batch.bat, cmdline.txt, startup.txt, and the marker files
//                    ready (all written) and done (the real run ended)
//   KVX_CAPTURE_RUN  "1": run the batch with the real cmd.exe and wait for it
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
std::string Env(const char* name) {
    char value[1024];
    DWORD len = GetEnvironmentVariableA(name, value, sizeof(value));
    return (len == 0 || len >= sizeof(value)) ? std::string() : std::string(value, len);
}

void WriteText(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

// The arguments behind the program's own name, as the process start-up skips it.
const char* Arguments(const char* line) {
    if (*line == '"') {
        line = strchr(line + 1, '"');
        if (!line) return "";
        ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    return line;
}

// The batch path: the quoted text behind "/c".
std::string BatchPath(const char* args) {
    const char* c = strstr(args, "/c \"");
    if (!c) return std::string();
    const char* begin = c + 4;
    const char* end = strchr(begin, '"');
    return end ? std::string(begin, end) : std::string();
}

std::string StartupText() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE),
           err = GetStdHandle(STD_ERROR_HANDLE);
    char text[256];
    snprintf(text, sizeof(text), "flags=%lu show=%u samestd=%d outtype=%lu console=%d\n",
             (unsigned long)startup.dwFlags, (unsigned)startup.wShowWindow, in == out && out == err ? 1 : 0,
             (unsigned long)GetFileType(out), GetConsoleWindow() != nullptr ? 1 : 0);
    return text;
}

DWORD RunRealInterpreter(const char* args) {
    char system[MAX_PATH];
    UINT len = GetSystemDirectoryA(system, sizeof(system));
    if (len == 0 || len >= sizeof(system)) return 1;
    std::string line = "\"" + std::string(system) + "\\cmd.exe\"" + args;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) return 1;
    WaitForSingleObject(info.hProcess, 120000);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
}
}  // namespace

int main() {
    std::string dir = Env("KVX_CAPTURE_DIR");
    if (dir.empty()) return 2;
    const char* line = GetCommandLineA();
    const char* args = Arguments(line);
    WriteText(dir + "\\cmdline.txt", line);
    CopyFileA(BatchPath(args).c_str(), (dir + "\\batch.bat").c_str(), FALSE);
    WriteText(dir + "\\startup.txt", StartupText());
    WriteText(dir + "\\ready", "");
    if (Env("KVX_CAPTURE_RUN") != "1") return 0;
    DWORD code = RunRealInterpreter(args);
    WriteText(dir + "\\done", std::to_string(code));
    return (int)code;
}
