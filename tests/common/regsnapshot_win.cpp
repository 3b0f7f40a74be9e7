// Registry snapshots for the Wine tests.
#include "common/regsnapshot_win.h"

#include <sstream>

namespace testenv {

namespace {

void CaptureValues(HKEY key, RegTreeData& tree) {
    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                     nullptr, nullptr);
    std::vector<char> name(maxName + 2);
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = (DWORD)name.size();
        DWORD dataLen = (DWORD)data.size();
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &dataLen) != ERROR_SUCCESS)
            break;
        tree.Values[std::string(name.data(), nameLen)] = {type, std::string((const char*)data.data(), dataLen)};
    }
}

// Everything here walks the tree one key name at a time, relative to an open parent: Wine's
// narrow registry functions refuse paths longer than 260 characters.
std::optional<RegTreeData> CaptureAt(HKEY parent, const char* name, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return std::nullopt;
    RegTreeData tree;
    CaptureValues(key, tree);
    char child[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(child);
        if (RegEnumKeyExA(key, i, child, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        std::optional<RegTreeData> sub = CaptureAt(key, child, view);
        if (sub) tree.Children[child] = *sub;
    }
    RegCloseKey(key);
    return tree;
}

LONG DeleteKeyEx(HKEY parent, const char* name, REGSAM view) {
    typedef LONG(WINAPI * DeleteKeyExFn)(HKEY, LPCSTR, REGSAM, DWORD);
    DeleteKeyExFn del = (DeleteKeyExFn)(void*)GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA");
    return del ? del(parent, name, view, 0) : RegDeleteKeyA(parent, name);
}

bool RemoveAt(HKEY parent, const char* name, REGSAM view) {
    HKEY key;
    LONG r = RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS | view, &key);
    if (r == ERROR_FILE_NOT_FOUND) return true;
    if (r != ERROR_SUCCESS) return false;
    std::vector<std::string> children;
    char child[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(child);
        if (RegEnumKeyExA(key, i, child, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(child);
    }
    bool all = true;
    for (const std::string& c : children) all = RemoveAt(key, c.c_str(), view) && all;
    RegCloseKey(key);
    r = DeleteKeyEx(parent, name, view);
    return all && (r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND);
}

}  // namespace

std::optional<RegTreeData> CaptureRegTree(HKEY root, const std::string& path, REGSAM view) {
    return CaptureAt(root, path.c_str(), view);
}

bool RemoveRegTree(HKEY root, const std::string& path, REGSAM view) {
    return RemoveAt(root, path.c_str(), view);
}

namespace {

void WriteTree(HKEY parent, const std::string& name, const RegTreeData& tree, REGSAM view) {
    HKEY key;
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    for (const auto& [valueName, value] : tree.Values) {
        RegSetValueExA(key, valueName.c_str(), 0, value.Type, (const BYTE*)value.Data.data(),
                       (DWORD)value.Data.size());
    }
    for (const auto& [childName, child] : tree.Children) WriteTree(key, childName, child, view);
    RegCloseKey(key);
}

void Describe(std::ostringstream& out, const RegTreeData& tree, const std::string& indent) {
    for (const auto& [name, value] : tree.Values) {
        out << indent << (name.empty() ? "@" : name) << " (" << value.Type << ") = ";
        if (value.Type == REG_SZ) out << '"' << value.Data.c_str() << '"';
        else for (unsigned char c : value.Data) out << std::hex << (int)c << ' ' << std::dec;
        out << "\n";
    }
    for (const auto& [name, child] : tree.Children) {
        out << indent << "[" << name << "]\n";
        Describe(out, child, indent + "  ");
    }
}

}  // namespace

void RestoreRegTree(HKEY root, const std::string& path, const std::optional<RegTreeData>& tree, REGSAM view) {
    RemoveRegTree(root, path, view);
    if (tree) WriteTree(root, path, *tree, view);
}

std::string DescribeRegTree(const std::optional<RegTreeData>& tree) {
    if (!tree) return "(no key)\n";
    std::ostringstream out;
    Describe(out, *tree, "");
    return out.str();
}

void RegKeeper::Keep(HKEY root, const std::string& path, REGSAM view) {
    kept_.push_back({root, path, view, CaptureRegTree(root, path, view)});
}

void RegKeeper::Restore() {
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) RestoreRegTree(it->Root, it->Path, it->Tree, it->View);
    kept_.clear();
}

}  // namespace testenv
