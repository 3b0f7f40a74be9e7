// Deletion at the next start: MoveFileExA on the NT family, wininit.ini on the 9x family.
#include "uninstall/restartdelete.h"

#include <windows.h>

#include <string>

#include "support/pathutil.h"
#include "support/platform.h"
#include "uninstall/ownedhandle_win.h"
#include "uninstall/wininit.h"

namespace {
const char WininitName[] = "wininit.ini";
// A wininit.ini beyond this is not a real one: it is left alone rather than read into memory.
const DWORD MaxWininitSize = 4 * 1024 * 1024;

bool WininitPath(char (&path)[1024]) {
    UINT len = GetWindowsDirectoryA(path, sizeof(path));
    if (len == 0 || len >= sizeof(path)) return false;
    if (!AddTrailingSlash(path)) return false;
    size_t used = strlen(path);
    return CopyWhole(path + used, sizeof(path) - used, WininitName);
}

// A file that does not exist reads as empty text.
bool ReadWholeFile(const char* path, std::string* text) {
    OwnedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) {
        text->clear();
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > MaxWininitSize) return false;
    text->assign(size, '\0');
    DWORD read = 0;
    if (size && (!ReadFile(file.Get(), &(*text)[0], size, &read, nullptr) || read != size)) return false;
    return true;
}

bool WriteNewFile(const char* path, const std::string& text) {
    OwnedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
}

// The new text goes to a file beside it first: a write cut short (a full disk) must not
// leave wininit.ini emptied of the lines that were there.
bool ReplaceWholeFile(const char* path, const std::string& text) {
    char newPath[1024];
    if (!FormatWhole(newPath, "%s.new", path)) return false;
    bool replaced = WriteNewFile(newPath, text) && CopyFileA(newPath, path, FALSE);
    DeleteFileA(newPath);
    return replaced;
}

// The profile writer keeps one value per key, so a second "NUL" would replace the first
// and that file would never be deleted: the section is edited as text instead.
void ScheduleInWininit(const char* path) {
    char iniPath[1024];
    if (!WininitPath(iniPath)) return;
    // The 9x start-up deletes by short name.
    char shortPath[1024];
    DWORD len = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    const char* value = (len == 0 || len >= sizeof(shortPath)) ? path : shortPath;
    std::string text;
    // A file that cannot be read is not rewritten: its lines would be lost.
    if (!ReadWholeFile(iniPath, &text)) return;
    if (AddRenameLine(text, value)) ReplaceWholeFile(iniPath, text);
}
}  // namespace

void ScheduleDeleteAtRestart(const char* path) {
    if (WinNtVersion()) {
        MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return;
    }
    ScheduleInWininit(path);
}
