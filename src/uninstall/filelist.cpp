// The list of installed files and the passes that remove them.
#include "uninstall/filelist.h"

#include <cstring>
#include <iterator>

#include "support/pathutil.h"

namespace {
// Names that Windows takes for devices in any folder, with or without an extension.
const char* const DeviceNames[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "CLOCK$",
    "COM1", "COM2", "COM3", "COM4", "COM5",   "COM6",    "COM7", "COM8", "COM9",
    "LPT1", "LPT2", "LPT3", "LPT4", "LPT5",   "LPT6",    "LPT7", "LPT8", "LPT9",
};

bool EqualsAsciiNoCase(const char* a, size_t aLen, const char* b) {
    if (strlen(b) != aLen) return false;
    for (size_t i = 0; i < aLen; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = (char)(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = (char)(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// Windows drops trailing dots and blanks, so ".. " and "..." may climb like "..".
bool IsParentLike(const char* part, size_t len) {
    size_t dots = 0;
    for (size_t i = 0; i < len; ++i) {
        if (part[i] == '.') ++dots;
        else if (part[i] != ' ') return false;
    }
    return dots >= 2;
}

// "nul", "NUL.txt" and "com1 .log" all open a device instead of a file.
bool IsDeviceName(const char* part, size_t len) {
    size_t base = 0;
    while (base < len && part[base] != '.') ++base;
    while (base > 0 && part[base - 1] == ' ') --base;
    for (const char* device : DeviceNames) {
        if (EqualsAsciiNoCase(part, base, device)) return true;
    }
    return false;
}
}  // namespace

// Byte by byte on purpose: a slash or backslash byte divides here even where it could be
// the second byte of a character, so no reading of the code page can hide a "..".
bool IsEntryInsideFolder(const char* entry) {
    if (!entry[0] || IsPathDivider((unsigned char)entry[0])) return false;
    if (strchr(entry, ':')) return false;  // a drive, or a stream of some other name
    const char* part = entry;
    for (const char* p = entry;; ++p) {
        if (*p && !IsPathDivider((unsigned char)*p)) continue;
        size_t len = (size_t)(p - part);
        if (IsParentLike(part, len) || IsDeviceName(part, len)) return false;
        if (!*p) return true;
        part = p + 1;
    }
}

bool FormFullPath(char* fullPath, size_t size, const char* folder, const char* entry) {
    return FormatWhole(fullPath, size, "%s%s", folder, entry);
}

bool FindRenameTarget(char* target, size_t size, const char* path, RemovalSystem& system) {
    for (int n = 0; n < 1000; ++n) {
        if (!FormatWhole(target, size, "%s.%d.tmp", path, n)) return false;
        if (!system.Exists(target)) return true;
    }
    return true;  // all taken: the name with 999 stays, and moving onto it fails
}

RemovalList::RemovalList(const char* folder) : folder_(folder) {}

void RemovalList::AddPiece(const char* piece) {
    std::string line(piece);
    // A carriage return, blanks and tabs at the end are not part of the entry.
    line.resize(strlen(TrimRight(line.data())));
    if (line.empty() || !IsEntryInsideFolder(line.c_str())) return;
    char fullPath[MaxPathSize];
    // A path cut to fit could name a parent folder or another file: it is left out.
    if (!FormFullPath(fullPath, sizeof(fullPath), folder_.c_str(), line.c_str())) return;
    entries_.push_back(Entry{fullPath, false});
}

bool RemovalList::RunPasses(RemovalSystem& system, const char* programName) {
    restartNeeded_ = false;
    while (RunPass(system, programName) != 0) {
    }
    return restartNeeded_;
}

int RemovalList::RunPass(RemovalSystem& system, const char* programName) {
    int removed = 0;
    for (Entry& entry : entries_) {
        if (entry.gone) continue;
        if (RemoveEntry(system, entry, programName)) ++removed;
    }
    return removed;
}

// True when the entry was removed. A file that is in use is moved aside, or kept, and
// scheduled for deletion at the restart.
bool RemovalList::RemoveEntry(RemovalSystem& system, Entry& entry, const char* programName) {
    const char* path = entry.path.c_str();
    PathQuery query = system.Query(path);
    // Cleared first, so that a read-only file can be deleted.
    system.ClearAttributes(path, query);
    if (query.found && query.directory) {
        // Only an empty folder goes; one listed before its contents goes in a later pass.
        if (!system.RemoveFolder(path)) return false;
        entry.gone = true;
        return true;
    }
    if (system.RemoveFile(path)) {
        entry.gone = true;
        return true;
    }
    if (!query.found) {
        entry.gone = query.missing;
        return false;
    }
    // The running program and the open list cannot go now: the self-removal batch and the
    // end of the run delete them. Neither gets a temporary name.
    const char* name = GetNamePart(path);
    if (system.SameName(name, programName) || system.SameName(name, ListFileName)) return false;
    MoveAside(system, entry);
    return false;
}

void RemovalList::MoveAside(RemovalSystem& system, Entry& entry) {
    const char* path = entry.path.c_str();
    char target[MaxPathSize];
    if (FindRenameTarget(target, sizeof(target), path, system) && system.Move(path, target)) {
        // The move created a name that an entry passed over before may hold.
        for (Entry& e : entries_) e.gone = false;
        entry.gone = true;
        system.ScheduleAtRestart(target);
        return;
    }
    // Neither deleted nor moved: it keeps its name until the restart deletes it.
    restartNeeded_ = true;
    system.ScheduleAtRestart(path);
}
