// Registry snapshots for the Wine tests.
#include "common/regsnapshot_win.h"

#include <sstream>

#include "common/testenv_win.h"

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

}  // namespace

std::optional<RegTreeData> CaptureRegTree(HKEY root, const std::string& path, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return std::nullopt;
    RegTreeData tree;
    CaptureValues(key, tree);
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& child : children) {
        std::optional<RegTreeData> sub = CaptureRegTree(root, path + "\\" + child, view);
        if (sub) tree.Children[child] = *sub;
    }
    return tree;
}

namespace {

void WriteTree(HKEY root, const std::string& path, const RegTreeData& tree, REGSAM view) {
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    for (const auto& [name, value] : tree.Values) {
        RegSetValueExA(key, name.c_str(), 0, value.Type, (const BYTE*)value.Data.data(), (DWORD)value.Data.size());
    }
    RegCloseKey(key);
    for (const auto& [name, child] : tree.Children) WriteTree(root, path + "\\" + name, child, view);
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
    RegTreeDelete(root, path.c_str(), view);
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
