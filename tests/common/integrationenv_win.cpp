// Shared ground of the integration tests: the keys and shortcut places the setup touches.
#include "common/integrationenv_win.h"

#include <ole2.h>

#include "localization/messages.h"

#include <shlobj.h>

#include <cstdio>

#include "common/testenv_win.h"
#include "integration/exttable.h"
#include "integration/shellext.h"

namespace testenv {

namespace {

const char ApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const char AppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kolvex.exe";
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kolvex archiver";

std::vector<std::string> ClassKeys() {
    std::vector<std::string> keys = {"Kolvex", "Kolvex.ZIP", "Kolvex.REV", ".rev"};
    for (const char* id : {ShellExtClassId, ShellExt64ClassId}) {
        keys.push_back(std::string("CLSID\\") + id);
        keys.push_back(std::string("exefile\\shellex\\PropertySheetHandlers\\") + id);
    }
    for (const char* handler : {"*\\shellex\\ContextMenuHandlers", "Folder\\shellex\\ContextMenuHandlers",
                                "Folder\\shellex\\DragDropHandlers", "Drive\\shellex\\DragDropHandlers",
                                "Directory\\shellex\\ContextMenuHandlers", "Directory\\shellex\\DragDropHandlers"})
        keys.push_back(std::string(handler) + "\\Kolvex");
    for (const char* list : FormatExtensions) {
        char ext[MaxExtensionSize];
        for (const char* rest = list; (rest = NextExtension(rest, ext));) keys.push_back(ext);
    }
    for (int n = 0; n < GivenBackVolumeCount; ++n) {
        char ext[MaxExtensionSize];
        if (VolumeExtension(n, ext)) keys.push_back(ext);
    }
    return keys;
}

// The key itself when it exists, else its highest missing ancestor.
std::string KeptPath(HKEY root, const std::string& path, REGSAM view) {
    std::string kept = path;
    for (;;) {
        if (RegKeyPresent(root, kept.c_str(), view)) return kept == path ? path : kept;
        size_t slash = kept.rfind('\\');
        if (slash == std::string::npos) return kept;
        std::string parent = kept.substr(0, slash);
        if (RegKeyPresent(root, parent.c_str(), view)) return kept;
        kept = parent;
    }
}

std::string SpecialFolder(int id) {
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, id, nullptr, 0, path))) return "";
    return path;
}

void ListInto(const std::string& folder, const std::string& prefix, bool recursive,
              std::map<std::string, long long>& out) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        bool dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        out[prefix + name] = dir ? -1 : ((long long)data.nFileSizeHigh << 32 | data.nFileSizeLow);
        if (dir && recursive) ListInto(folder + "\\" + name, prefix + name + "\\", true, out);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

void Compare(const RegTreeData& before, const RegTreeData& after, const std::string& path,
             std::vector<RegDifference>& out) {
    for (const auto& [name, value] : before.Values) {
        auto it = after.Values.find(name);
        if (it == after.Values.end()) out.push_back({RegDifference::ValueRemoved, path, name});
        else if (!(it->second == value)) out.push_back({RegDifference::ValueChanged, path, name});
    }
    for (const auto& [name, value] : after.Values) {
        if (!before.Values.count(name)) out.push_back({RegDifference::ValueAdded, path, name});
    }
    auto join = [&](const std::string& child) { return path.empty() ? child : path + "\\" + child; };
    for (const auto& [name, child] : before.Children) {
        auto it = after.Children.find(name);
        if (it == after.Children.end()) out.push_back({RegDifference::KeyRemoved, join(name), ""});
        else Compare(child, it->second, join(name), out);
    }
    for (const auto& [name, child] : after.Children) {
        if (before.Children.count(name)) continue;
        out.push_back({RegDifference::KeyAdded, join(name), ""});
        // Everything inside a new key is new as well; listing it shows what a leftover holds.
        Compare(RegTreeData(), child, join(name), out);
    }
}

}  // namespace

void KeepIntegrationKeys(RegKeeper& keeper) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        for (const std::string& key : ClassKeys()) {
            keeper.Keep(HKEY_CLASSES_ROOT, KeptPath(HKEY_CLASSES_ROOT, key, view), view);
        }
        for (const char* key : {ApprovedKey, AppPathKey, UninstallKey})
            keeper.Keep(HKEY_LOCAL_MACHINE, KeptPath(HKEY_LOCAL_MACHINE, key, view), view);
    }
    keeper.Keep(HKEY_CURRENT_USER, "Software\\Kolvex");
}

ShortcutPlaces GetShortcutPlaces() {
    return {SpecialFolder(CSIDL_DESKTOPDIRECTORY), SpecialFolder(CSIDL_STARTMENU), SpecialFolder(CSIDL_PROGRAMS),
            SpecialFolder(CSIDL_COMMON_PROGRAMS)};
}

void DeleteProductShortcuts() {
    ShortcutPlaces places = GetShortcutPlaces();
    DeleteFileA((places.Desktop + "\\Kolvex.lnk").c_str());
    DeleteFileA((places.StartMenu + "\\Kolvex.lnk").c_str());
    DeleteTree(places.Programs + "\\Kolvex");
    DeleteTree(places.CommonPrograms + "\\Kolvex");
}

std::map<std::string, long long> ListFolder(const std::string& folder, bool recursive) {
    std::map<std::string, long long> out;
    ListInto(folder, "", recursive, out);
    return out;
}

NoMenuBuilder::NoMenuBuilder() {
    const char key[] = "Software\\Wine\\DllOverrides";
    keeper_.Keep(HKEY_CURRENT_USER, key);
    HKEY opened;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return;
    // An empty load order disables the program.
    RegSetValueExA(opened, "winemenubuilder.exe", 0, REG_SZ, (const BYTE*)"", 1);
    RegCloseKey(opened);
}

NoMenuBuilder::~NoMenuBuilder() { keeper_.Restore(); }

std::string RegDifference::Describe() const {
    static const char* const Kinds[] = {"key added", "key removed", "value added", "value removed",
                                        "value changed"};
    std::string text = std::string(Kinds[What]) + ": " + Path;
    if (What >= ValueAdded) text += " [" + (Value.empty() ? std::string("@") : Value) + "]";
    return text;
}

std::vector<RegDifference> CompareRegTrees(const RegTreeData& before, const RegTreeData& after) {
    std::vector<RegDifference> out;
    Compare(before, after, "", out);
    return out;
}

ProductTextsScope::ProductTextsScope() : savedResource_(ResourceModule), savedProgram_(ProgramModule) {
    OleInitialize(nullptr);
    ResourceModule = ProgramModule = GetModuleHandleA(nullptr);
}

ProductTextsScope::~ProductTextsScope() {
    ResourceModule = savedResource_;
    ProgramModule = savedProgram_;
    OleUninitialize();
}

}  // namespace testenv
