// Desktop and Start-menu shortcuts and the program groups, through the shell's link object.
#include "integration/shortcuts.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstring>
#include <iterator>

#include "integration/linkname.h"
#include "localization/messages.h"
#include "resources/resource.h"
#include "support/pathutil.h"
#include "support/platform.h"

namespace {

const char LinkFileName[] = "Kolvex.lnk";
const char GroupFolderName[] = "Kolvex";
const char ProgramFileName[] = "Kolvex.exe";

// The items of a program group, in creation order. NameId 0: the name is fixed.
struct GroupItem {
    int NameId;
    const char* FixedName;
    const char* Target;
};

const GroupItem GroupItems[] = {
    {0, "Kolvex", "Kolvex.exe"},
    {IDS_HELP_LINK_NAME, nullptr, "Kolvex.hlp"},
    {IDS_MANUAL_LINK_NAME, nullptr, "Kvx.txt"},
};

// The shell's allocator, which frees the item lists that it hands out.
class ShellAllocator {
public:
    ShellAllocator() {
        if (FAILED(SHGetMalloc(&malloc_))) malloc_ = nullptr;
    }
    ~ShellAllocator() {
        if (malloc_) malloc_->Release();
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;
    // Without the shell's allocator the task allocator is the best guess; leaking the list
    // would be the only other choice.
    void Free(void* block) {
        if (malloc_) malloc_->Free(block);
        else CoTaskMemFree(block);
    }
private:
    IMalloc* malloc_ = nullptr;
};

// Every caller appends to the folder it gets, and an empty folder would turn that into a path
// relative to the current directory: a folder that cannot be determined is no folder.
bool GetSpecialFolder(ShellAllocator& allocator, int folderId, char (&path)[IntegrationPathSize]) {
    path[0] = 0;
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folderId, &list)) || !list) return false;
    // SHGetPathFromIDListA writes up to MAX_PATH characters, well within the buffer.
    BOOL found = SHGetPathFromIDListA(list, path);
    allocator.Free(list);
    if (!found || !path[0]) {
        path[0] = 0;
        return false;
    }
    return true;
}

// folder + backslash + name + extension, whole or not at all.
bool JoinPath(char (&path)[IntegrationPathSize], const char* folder, const char* name, const char* extension) {
    if (!CopyWhole(path, folder) || !AddTrailingSlash(path)) return false;
    size_t used = strlen(path);
    return FormatWhole(path + used, sizeof(path) - used, "%s%s", name, extension);
}

// Owns one interface pointer of the link object.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (ptr_) ptr_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return ptr_; }
    void** OutVoid() { return reinterpret_cast<void**>(&ptr_); }
private:
    T* ptr_ = nullptr;
};

void CreateOrDeleteLink(bool create, bool keepExisting, const char* linkPath, const char* target) {
    if (!create) {
        DeleteFileA(linkPath);
        return;
    }
    if (keepExisting && GetFileAttributesA(linkPath) != INVALID_FILE_ATTRIBUTES) return;
    CreateShortcut(target, linkPath, GetMsg(IDS_LINK_DESCRIPTION));
}

// A single link file in a special folder: the desktop (kept when present) or the Start menu.
void UpdateFolderLink(bool create, bool keepExisting, const char* folder, const char* target) {
    char linkPath[IntegrationPathSize];
    if (!JoinPath(linkPath, folder, LinkFileName, "")) return;
    CreateOrDeleteLink(create, keepExisting, linkPath, target);
}

struct ItemNames {
    char Names[std::size(GroupItems)][MessageSize];
};

// The names are copied out of the message ring once, for both groups.
void FetchItemNames(ItemNames& names) {
    for (size_t i = 0; i < std::size(GroupItems); ++i) {
        const GroupItem& item = GroupItems[i];
        FormatTo(names.Names[i], "%s", item.NameId ? GetMsg(item.NameId) : item.FixedName);
    }
}

void CreateGroupItems(const char* groupPath, const ItemNames& names) {
    for (size_t i = 0; i < std::size(GroupItems); ++i) {
        char linkPath[IntegrationPathSize];
        char target[IntegrationPathSize];
        if (!IsPlainItemName(LeadBytes, names.Names[i])) continue;
        if (!JoinPath(linkPath, groupPath, names.Names[i], ".lnk")) continue;
        if (!InstallFolderFile(target, GroupItems[i].Target)) continue;
        CreateShortcut(target, linkPath, GetMsg(IDS_LINK_DESCRIPTION));
    }
}

// Creates or deletes the "Kolvex" group in one Programs folder; hands the group path back
// through programGroupPath (may be null) when the group is created.
void UpdateGroup(bool create, const char* programsFolder, const ItemNames& names, char* programGroupPath) {
    char groupPath[IntegrationPathSize];
    if (!JoinPath(groupPath, programsFolder, GroupFolderName, "")) return;
    if (!create) {
        DeleteFolderTree(groupPath);
        return;
    }
    if (programGroupPath) CopyWhole(programGroupPath, IntegrationPathSize, groupPath);
    // An existing folder is fine: its items are rewritten.
    CreateDirectoryA(groupPath, nullptr);
    CreateGroupItems(groupPath, names);
}

}  // namespace

// Every step is attempted whatever the others did. A special folder that cannot be determined
// is skipped, so nothing is ever created or deleted relative to the current directory.
void UpdateShortcuts(const SetupOptions& options, char* programGroupPath) {
    char target[IntegrationPathSize];
    if (!InstallFolderFile(target, ProgramFileName)) target[0] = 0;
    ShellAllocator allocator;
    char folder[IntegrationPathSize];

    // A desktop shortcut is the user's once it is there: it is never rewritten.
    if (GetDesktopFolder(folder) && (target[0] || !options[SlotDesktopLink]))
        UpdateFolderLink(options[SlotDesktopLink] != 0, true, folder, target);
    if (GetSpecialFolder(allocator, CSIDL_STARTMENU, folder) && (target[0] || !options[SlotStartMenuLink]))
        UpdateFolderLink(options[SlotStartMenuLink] != 0, false, folder, target);

    ItemNames names;
    FetchItemNames(names);
    bool group = options[SlotProgramGroup] != 0;
    if (GetSpecialFolder(allocator, CSIDL_PROGRAMS, folder)) UpdateGroup(group, folder, names, programGroupPath);
    // The 9x family has no profile shared by all users.
    if (WinNtVersion() != 0 && GetSpecialFolder(allocator, CSIDL_COMMON_PROGRAMS, folder))
        UpdateGroup(group, folder, names, nullptr);
}

// Only the target and the description are set: the shell takes the icon and the working
// folder from the target itself.
bool CreateShortcut(const char* target, const char* linkPath, const char* description) {
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.OutVoid())))
        return false;
    link->SetPath(target);
    if (description) link->SetDescription(description);
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) return false;
    // IPersistFile takes MAX_PATH wide characters. A longer path fails the conversion and is
    // not saved: a cut path would write the link somewhere else.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) return false;
    return SUCCEEDED(file->Save(widePath, TRUE));
}

bool GetDesktopFolder(char (&path)[IntegrationPathSize]) {
    ShellAllocator allocator;
    return GetSpecialFolder(allocator, CSIDL_DESKTOPDIRECTORY, path);
}

// The shell takes a list of names ended by an empty one, hence the second terminator. Without
// FOF_ALLOWUNDO the folder does not go to the Recycle Bin; the shell may still show its own
// error message, as the user would want to know why a group stayed.
bool DeleteFolderTree(char* path, size_t size) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return false;
    size_t len = strlen(path);
    if (len == 0 || len + 2 > size) return false;
    path[len + 1] = 0;
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = path;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    return SHFileOperationA(&operation) == 0;
}
