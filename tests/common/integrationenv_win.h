// Shared ground of the integration tests: every registry key and shortcut place that the
// setup touches, kept and put back around a test, and snapshots for before/after comparisons.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "common/regsnapshot_win.h"

namespace testenv {

// Every key the setup and the uninstaller write or delete, in both registry views, under
// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE, and the settings key under HKEY_CURRENT_USER.
// For a key that does not exist its highest missing ancestor is kept, so that keys the
// registry creates on the way are deleted again.
void KeepIntegrationKeys(RegKeeper& keeper);

// The four folders that hold the product's shortcuts, as the shell reports them.
struct ShortcutPlaces {
    std::string Desktop;
    std::string StartMenu;
    std::string Programs;
    std::string CommonPrograms;
};
ShortcutPlaces GetShortcutPlaces();

// Deletes the desktop and Start-menu "Kolvex.lnk" and both "Kolvex" groups.
void DeleteProductShortcuts();

// Relative path -> size of every file and folder (size -1) below a folder.
std::map<std::string, long long> ListFolder(const std::string& folder, bool recursive);

// Wine's shell starts its menu builder for every link it saves, which puts .desktop files and
// icons into the Unix desktop ($HOME, which is also the Windows desktop here). The tests turn
// it off in the prefix's library overrides while the object lives. (Wine takes the variable
// WINEDLLOVERRIDES from the Unix environment only, so a test cannot set that for its children.)
class NoMenuBuilder {
public:
    NoMenuBuilder();
    ~NoMenuBuilder();
    NoMenuBuilder(const NoMenuBuilder&) = delete;
    NoMenuBuilder& operator=(const NoMenuBuilder&) = delete;
private:
    RegKeeper keeper_;
};

// One difference between two registry snapshots: a key added or removed, or a value that is
// new, gone or changed. Path is the key path below the captured root.
struct RegDifference {
    enum Kind { KeyAdded, KeyRemoved, ValueAdded, ValueRemoved, ValueChanged } What;
    std::string Path;
    std::string Value;  // value name for the value kinds
    std::string Describe() const;
};
std::vector<RegDifference> CompareRegTrees(const RegTreeData& before, const RegTreeData& after);

// For the length of a test that drives the integration in-process: OLE for the shell link
// object, and the product's texts taken from the test program (which carries its resources).
// The previous modules are put back and OLE released when the scope ends.
class ProductTextsScope {
public:
    ProductTextsScope();
    ~ProductTextsScope();
    ProductTextsScope(const ProductTextsScope&) = delete;
    ProductTextsScope& operator=(const ProductTextsScope&) = delete;
private:
    HINSTANCE savedResource_;
    HINSTANCE savedProgram_;
};

}  // namespace testenv
