// Registry snapshots for the Wine tests: capture a key tree, compare it, put it back exactly.
#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testenv {

struct RegValueData {
    DWORD Type = 0;
    std::string Data;
    bool operator==(const RegValueData& o) const { return Type == o.Type && Data == o.Data; }
};

// Names are kept as the registry spells them; the registry itself ignores their letter case.
struct RegTreeData {
    std::map<std::string, RegValueData> Values;
    std::map<std::string, RegTreeData> Children;
    bool operator==(const RegTreeData& o) const { return Values == o.Values && Children == o.Children; }
    bool operator!=(const RegTreeData& o) const { return !(*this == o); }
};

// The whole tree below a key; nullopt when the key does not exist.
std::optional<RegTreeData> CaptureRegTree(HKEY root, const std::string& path, REGSAM view = 0);
// Deletes a key with everything below it; true when it is gone. Unlike testenv::RegTreeDelete
// it also copes with trees deeper than the 260 characters that Wine's narrow functions take.
bool RemoveRegTree(HKEY root, const std::string& path, REGSAM view = 0);
// Makes the key exactly the captured tree again (deletes it for nullopt).
void RestoreRegTree(HKEY root, const std::string& path, const std::optional<RegTreeData>& tree,
                    REGSAM view = 0);
// Readable form for failure messages.
std::string DescribeRegTree(const std::optional<RegTreeData>& tree);

// Keeps a set of keys as they were: captured when added, put back by Restore().
class RegKeeper {
public:
    void Keep(HKEY root, const std::string& path, REGSAM view = 0);
    void Restore();
private:
    struct Kept {
        HKEY Root;
        std::string Path;
        REGSAM View;
        std::optional<RegTreeData> Tree;
    };
    std::vector<Kept> kept_;
};

}  // namespace testenv
