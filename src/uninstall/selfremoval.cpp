// The text of the self-removal batch and the command line that starts it.
#include "uninstall/selfremoval.h"

#include "support/pathutil.h"

namespace {
// How many times the batch tries to delete the program file before it warns.
const int DeleteAttempts = 5;

// A path in double quotes.
void AppendQuoted(std::string& text, const char* path) {
    text += '"';
    AppendBatchPath(text, path);
    text += '"';
}
}  // namespace

bool FormBatchPath(char* batchPath, size_t size, const char* tempFolder) {
    return FormatWhole(batchPath, size, "%s%s", tempFolder, BatchFileName);
}

void AppendBatchPath(std::string& text, const char* path) {
    for (const char* p = path; *p; ++p) {
        if (*p == '%') text += '%';
        text += *p;
    }
}

// The 9x command interpreter does not wait for a program started from a batch file, so
// that family needs start /wait for the pause of the second run to hold the batch back.
std::string BuildRemovalBatch(bool ntFamily, const char* programPath, const char* folder,
                              const char* batchPath) {
    std::string text;
    if (!ntFamily) text += "start /wait ";
    AppendQuoted(text, programPath);
    text += " /wait\r\n";
    for (int i = 0; i < DeleteAttempts; ++i) {
        text += "del ";
        AppendQuoted(text, programPath);
        text += "\r\nrd ";
        AppendQuoted(text, folder);
        text += "\r\nif not exist ";
        AppendQuoted(text, programPath);
        text += " goto done\r\n";
    }
    text += ":done\r\nif exist ";
    AppendQuoted(text, programPath);
    text += ' ';
    AppendQuoted(text, programPath);
    text += " /warning\r\ndel ";
    AppendQuoted(text, batchPath);
    return text;
}

bool FormBatchCommandLine(char* commandLine, size_t size, const char* comspec, const char* batchPath) {
    return FormatWhole(commandLine, size, "%s /c \"%s\"", comspec, batchPath);
}
