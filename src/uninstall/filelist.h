// The list of installed files and the passes that remove them (no Win32 here).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Name of the list file in the installation folder.
inline constexpr char ListFileName[] = "Uninstall.lst";

// Room for a full path, terminator included; longer paths are never formed.
constexpr size_t MaxPathSize = 1024;
// fgets reads at most this many bytes of a line (terminator included): longer lines come
// in several pieces, and each piece is an entry of its own.
constexpr size_t ListPieceSize = 2048;

// True when the entry names something inside the installation folder: a relative path
// with no drive, no root, no ".." component and no device name.
bool IsEntryInsideFolder(const char* entry);

// The folder (ending with a backslash) followed by the entry, or false when the whole path
// does not fit.
bool FormFullPath(char* fullPath, size_t size, const char* folder, const char* entry);

// What a query of a path's attributes found.
struct PathQuery {
    bool found = false;      // the attributes were read
    bool missing = false;    // the system says nothing of that name exists
    bool directory = false;
    unsigned attributes = 0;
};

// The file-system operations of the passes; the program implements them with Win32, the
// tests with a model.
class RemovalSystem {
public:
    virtual PathQuery Query(const char* path) = 0;
    // Clears the attributes; the query is what was found just before.
    virtual void ClearAttributes(const char* path, const PathQuery& query) = 0;
    virtual bool RemoveFolder(const char* path) = 0;
    virtual bool RemoveFile(const char* path) = 0;
    virtual bool Exists(const char* path) = 0;
    virtual bool Move(const char* from, const char* to) = 0;
    virtual void ScheduleAtRestart(const char* path) = 0;
    // The system's comparison of two file names (letter case does not count).
    virtual bool SameName(const char* a, const char* b) = 0;
protected:
    ~RemovalSystem() = default;
};

// The entries of the list as full paths, read once and kept for all passes.
class RemovalList {
public:
    // folder: the installation folder with its trailing backslash.
    explicit RemovalList(const char* folder);
    // Takes one piece as fgets returned it: trimmed, checked and kept when it names
    // something inside the folder and fits a path buffer.
    void AddPiece(const char* piece);
    // Runs passes until one removes nothing; returns true when a file in use could not be
    // moved aside and stays under its own name until the restart.
    bool RunPasses(RemovalSystem& system, const char* programName);
    // One pass; returns how many files and folders it removed.
    int RunPass(RemovalSystem& system, const char* programName);
    size_t Size() const { return entries_.size(); }
    const std::string& Path(size_t i) const { return entries_[i].path; }

private:
    struct Entry {
        std::string path;
        // Known not to exist. Nothing but a move of ours creates a name, so such an entry
        // is passed over until the next move.
        bool gone = false;
    };
    bool RemoveEntry(RemovalSystem& system, Entry& entry, const char* programName);
    void MoveAside(RemovalSystem& system, Entry& entry);
    std::string folder_;
    std::vector<Entry> entries_;
    bool restartNeeded_ = false;
};

// The first free "path.N.tmp" (N from 0 to 999), or the one with 999 when all are taken.
// False when such a name does not fit the buffer.
bool FindRenameTarget(char* target, size_t size, const char* path, RemovalSystem& system);
