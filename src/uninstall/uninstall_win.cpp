// The uninstall driver: confirmation, integration removal, the listed files, self-removal.
#include "uninstall/uninstall.h"

#include <windows.h>

#include <cstdio>

#include "localization/messages.h"
#include "resources/resource.h"
#include "startup/startup.h"
#include "support/pathutil.h"
#include "support/platform.h"
#include "uninstall/driver.h"
#include "uninstall/filelist.h"
#include "uninstall/ownedhandle_win.h"
#include "uninstall/removeintegration.h"
#include "uninstall/restartdelete.h"
#include "uninstall/selfremoval.h"

namespace {
// Index files that the help viewer leaves next to the help file.
const char* const HelpIndexFiles[] = {"kolvex.gid", "kolvex.fts"};

class Win32RemovalSystem : public RemovalSystem {
public:
    PathQuery Query(const char* path) override {
        PathQuery query;
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            DWORD error = GetLastError();
            query.missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
            return query;
        }
        query.found = true;
        query.attributes = attributes;
        query.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return query;
    }
    // Skipped where it cannot change anything: each call opens the file once more, and the
    // passes meet every folder again and again.
    void ClearAttributes(const char* path, const PathQuery& query) override {
        if (query.missing) return;
        if (query.found && (query.attributes == FILE_ATTRIBUTE_DIRECTORY ||
                            query.attributes == FILE_ATTRIBUTE_NORMAL)) {
            return;
        }
        SetFileAttributesA(path, 0);
    }
    bool RemoveFolder(const char* path) override { return RemoveDirectoryA(path) != 0; }
    bool RemoveFile(const char* path) override { return DeleteFileA(path) != 0; }
    bool Exists(const char* path) override { return FileExists(path); }
    bool Move(const char* from, const char* to) override { return MoveFileA(from, to) != 0; }
    void ScheduleAtRestart(const char* path) override { ScheduleDeleteAtRestart(path); }
    bool SameName(const char* a, const char* b) override { return CompareNamesNoCase(a, b) == 0; }
};

bool UserConfirms() {
    const char* text = GetMsg(IDS_CONFIRM_UNINSTALL);
    const char* caption = GetMsg(IDS_UNINSTALL_CAPTION);
    return MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
}

void ShowListError() {
    // Room for the longest message text and the list's name: nothing is ever cut.
    char text[MessageSize + sizeof(ListFileName)];
    FormatWithText(LeadBytes, text, sizeof(text), GetMsg(IDS_CANNOT_OPEN_LIST), ListFileName);
    MessageBoxA(nullptr, text, GetMsg(IDS_UNINSTALL_CAPTION), MB_ICONERROR | MB_SETFOREGROUND);
}

void ShowRestartNotice() {
    const char* text = GetMsg(IDS_RESTART_NEEDED);
    MessageBoxA(nullptr, text, GetMsg(IDS_UNINSTALL_CAPTION), MB_ICONINFORMATION | MB_SETFOREGROUND);
}

void DeleteHelpIndexFiles() {
    for (const char* name : HelpIndexFiles) {
        SetFileAttributesA(name, 0);
        DeleteFileA(name);
    }
}

// fgets hands over lines of up to ListPieceSize - 1 bytes; a longer line comes in pieces.
void ReadList(FILE* list, RemovalList& entries) {
    char piece[ListPieceSize];
    while (fgets(piece, sizeof(piece), list)) entries.AddPiece(piece);
}
}  // namespace

int UninstallMain() {
    char programPath[MaxPathSize];
    DWORD len = GetModuleFileNameA(nullptr, programPath, sizeof(programPath));
    if (len == 0 || len >= sizeof(programPath)) return 0;
    char folder[MaxPathSize];
    if (!InstallFolderOf(LeadBytes, programPath, folder, sizeof(folder))) return 0;
    // The list is opened, and the batch later removes the folder, by the current directory:
    // when it cannot be the installation folder nothing is done.
    if (!SetCurrentDirectoryA(folder)) return 0;
    if (!AddTrailingSlash(folder)) return 0;
    if (!SilentMode && !UserConfirms()) return 0;

    OwnedStream list(fopen(ListFileName, "rb"));
    // Without the list nothing is removed, not even the integration: the installation
    // stays whole.
    if (!list.Get()) {
        ShowListError();
        return 0;
    }
    RemoveIntegration();
    // The resource library is listed like any other file; it must not be held any more.
    ResourceLibrary.Unload();
    DeleteHelpIndexFiles();

    RemovalList entries(folder);
    ReadList(list.Get(), entries);
    Win32RemovalSystem system;
    bool restartNeeded = entries.RunPasses(system, GetNamePart(programPath));
    // Kept open until now, the list is never deleted or moved by the passes.
    list.Close();
    DeleteFileA(ListFileName);
    if (restartNeeded) ShowRestartNotice();
    StartSelfRemoval(programPath);
    return 0;
}
