// The central check of setup and uninstall together: after a setup and an uninstall the
// registry and the shortcut folders are as they were before, except for the leftovers that
// the integration leaves on purpose, which are listed here as data.
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/integrationenv_win.h"
#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"
#include "integration/integration.h"
#include "integration/shellext.h"
#include "localization/messages.h"
#include "registry/regaccess.h"
#include "uninstall/removeintegration.h"

namespace {

using testenv::RegDifference;
using testenv::RegTreeData;
using testenv::RegValueData;

enum class Root { Classes, Machine, User };
const char* RootName(Root root) { return root == Root::Classes ? "HKCR" : root == Root::Machine ? "HKLM\\Software" : "HKCU\\Software"; }

// How a leftover may show in the comparison.
enum class Rule {
    // The key stays, without its value: it must be there afterwards, holding nothing.
    KeptEmpty,
    // The key goes, but parents that the registry created for it may stay, empty.
    ParentsMayStay,
};

struct NamedLeftover {
    Root Where;
    const char* Key;
    Rule How;
};

// Keys below the classes root and the machine's Software key, in the program's own view.
const NamedLeftover NamedLeftovers[] = {
    // Handler places shared with other programs: only our value goes.
    {Root::Classes, "*\\shellex\\ContextMenuHandlers\\Kolvex", Rule::KeptEmpty},
    {Root::Classes, "Folder\\shellex\\ContextMenuHandlers\\Kolvex", Rule::KeptEmpty},
    {Root::Classes, "Folder\\shellex\\DragDropHandlers\\Kolvex", Rule::KeptEmpty},
    {Root::Classes, "Drive\\shellex\\DragDropHandlers\\Kolvex", Rule::KeptEmpty},
    {Root::Classes, "Directory\\shellex\\ContextMenuHandlers\\Kolvex", Rule::KeptEmpty},
    {Root::Classes, "Directory\\shellex\\DragDropHandlers\\Kolvex", Rule::KeptEmpty},
    // Single keys deleted on their own: the parents created for them stay.
    {Root::Classes, "exefile\\shellex\\PropertySheetHandlers\\x", Rule::ParentsMayStay},
    {Root::Machine, "Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved\\x", Rule::ParentsMayStay},
    {Root::Machine, "Microsoft\\Windows\\CurrentVersion\\App Paths\\Kolvex.exe", Rule::ParentsMayStay},
    {Root::Machine, "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kolvex archiver", Rule::ParentsMayStay},
};

// Giving KVX back hands the old-style volume names .k00 to .k99 the class that .kvx had
// before, whether or not they existed: with a previous owner of .kvx they stay as keys
// holding that class.
bool IsVolumeName(const std::string& key) {
    return key.size() == 4 && key[0] == '.' && (key[1] == 'k' || key[1] == 'K') && isdigit((unsigned char)key[2]) &&
           isdigit((unsigned char)key[3]);
}

bool SameName(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

bool IsAncestorOf(const std::string& parent, const std::string& key) {
    return key.size() > parent.size() && key[parent.size()] == '\\' && SameName(key.substr(0, parent.size()), parent);
}

struct Snapshot {
    std::map<Root, RegTreeData> Registry;
    std::map<std::string, std::map<std::string, long long>> Folders;
};

// Where the program's own view lies inside the captured trees: the 64-bit view, or under
// Wow6432Node when the test acts as the 32-bit program on 64-bit Windows.
struct Comparison {
    std::string ViewPrefix;          // "" or "Wow6432Node\\"
    std::string PreviousKvxClass;    // volume names may keep it
    bool NewMenuDataStays = false;   // the 9x family's "Data" value of the New menu entry

    std::string Own(const std::string& key) const { return ViewPrefix + key; }

    bool Explained(Root root, const RegDifference& d, const RegTreeData& after) const {
        if (d.What == RegDifference::KeyAdded) return ExplainedKey(root, d.Path);
        if (d.What != RegDifference::ValueAdded) return false;
        if (root != Root::Classes) return false;
        if (!PreviousKvxClass.empty() && d.Value.empty() && IsVolumeKey(d.Path)) return true;
        if (NewMenuDataStays && d.Value == "Data" &&
            (SameName(d.Path, Own(".kvx\\ShellNew")) || SameName(d.Path, Own(".zip\\ShellNew"))))
            return true;
        return false;
    }
    bool IsVolumeKey(const std::string& path) const {
        return path.size() > ViewPrefix.size() && SameName(path.substr(0, ViewPrefix.size()), ViewPrefix) &&
               IsVolumeName(path.substr(ViewPrefix.size()));
    }
    bool ExplainedKey(Root root, const std::string& path) const {
        if (root == Root::Classes && !PreviousKvxClass.empty() && IsVolumeKey(path)) return true;
        for (const NamedLeftover& leftover : NamedLeftovers) {
            if (leftover.Where != root) continue;
            std::string key = Own(leftover.Key);
            if (IsAncestorOf(path, key)) return true;
            if (leftover.How == Rule::KeptEmpty && SameName(path, key)) return true;
        }
        return false;
    }
};

const RegTreeData* Find(const RegTreeData& tree, const std::string& path) {
    const RegTreeData* node = &tree;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        const RegTreeData* next = nullptr;
        for (const auto& [childName, child] : node->Children)
            if (SameName(childName, name)) next = &child;
        if (!next) return nullptr;
        node = next;
        start = end + 1;
    }
    return node;
}

RegTreeData Capture(HKEY root, const char* path) {
    auto tree = testenv::CaptureRegTree(root, path, KEY_WOW64_64KEY);
    return tree ? *tree : RegTreeData();
}

Snapshot TakeSnapshot() {
    Snapshot s;
    s.Registry[Root::Classes] = Capture(HKEY_CLASSES_ROOT, "");
    RegTreeData machine = Capture(HKEY_LOCAL_MACHINE, "Software");
    // The classes are compared once, through the classes root; Wine links the 32-bit
    // view's classes into Wow6432Node as well.
    machine.Children.erase("Classes");
    auto wow = machine.Children.find("Wow6432Node");
    if (wow != machine.Children.end()) wow->second.Children.erase("Classes");
    s.Registry[Root::Machine] = machine;
    s.Registry[Root::User] = Capture(HKEY_CURRENT_USER, "Software");
    testenv::ShortcutPlaces places = testenv::GetShortcutPlaces();
    s.Folders["desktop"] = testenv::ListFolder(places.Desktop, false);
    s.Folders["start menu"] = testenv::ListFolder(places.StartMenu, true);
    s.Folders["all users' programs"] = testenv::ListFolder(places.CommonPrograms, true);
    return s;
}

// Every difference that no leftover explains, readable; and the leftovers that must be there.
std::vector<std::string> Unexplained(const Snapshot& before, const Snapshot& after, const Comparison& rules) {
    std::vector<std::string> problems;
    for (const auto& [root, tree] : before.Registry) {
        const RegTreeData& later = after.Registry.at(root);
        for (const RegDifference& d : testenv::CompareRegTrees(tree, later))
            if (!rules.Explained(root, d, later)) problems.push_back(std::string(RootName(root)) + " " + d.Describe());
    }
    for (const NamedLeftover& leftover : NamedLeftovers) {
        if (leftover.How != Rule::KeptEmpty) continue;
        const RegTreeData* key = Find(after.Registry.at(leftover.Where), rules.Own(leftover.Key));
        if (!key) problems.push_back(std::string("missing kept key ") + leftover.Key);
        else if (!key->Values.empty() || !key->Children.empty()) problems.push_back(std::string("kept key not empty ") + leftover.Key);
    }
    for (const auto& [name, files] : before.Folders) {
        if (after.Folders.at(name) != files) problems.push_back("shortcut folder changed: " + name);
    }
    return problems;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

RegValueData Sz(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }

// Keys of other programs that the setup meets: previous owners of three extensions (one with
// a content type and a New-menu template, one with an empty New-menu file, one with no key
// at all), their classes with an icon the user chose.
struct PreviousOwners {
    static constexpr const char* KvxClass = "OtherKvx.Archive";
    static void Keep(testenv::RegKeeper& keeper) {
        for (const char* key : {"OtherZip.Archive", "OtherKvx.Archive"}) {
            keeper.Keep(HKEY_CLASSES_ROOT, key, KEY_WOW64_64KEY);
            keeper.Keep(HKEY_CLASSES_ROOT, key, KEY_WOW64_32KEY);
        }
    }
    static void Write(REGSAM view) {
        RegTreeData zip;
        zip.Values[""] = Sz("OtherZip.Archive");
        zip.Values["Content Type"] = Sz("application/x-other-zip");
        zip.Children["ShellNew"].Values["FileName"] = Sz("C:\\Other\\empty.zip");
        testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ".zip", zip, view);
        RegTreeData kvx;
        kvx.Values[""] = Sz(KvxClass);
        kvx.Children["ShellNew"].Values["NullFile"] = Sz("");
        testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ".kvx", kvx, view);
        testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ".cab", std::nullopt, view);
        for (const char* cls : {"OtherZip.Archive", "OtherKvx.Archive"}) {
            RegTreeData owner;
            owner.Values[""] = Sz(std::string(cls) + " file");
            owner.Children["DefaultIcon"].Values[""] = Sz("C:\\Other\\icons.dll,3");
            testenv::RestoreRegTree(HKEY_CLASSES_ROOT, cls, owner, view);
        }
    }
};

std::string Read(HKEY root, const std::string& key, const char* name, REGSAM view = 0) {
    std::string value;
    return testenv::RegReadString(root, key.c_str(), name, &value, view) ? value : "(none)";
}

class RoundTripBase : public ::testing::Test {
protected:
    void SetUp() override {
        testenv::KeepIntegrationKeys(keeper_);
        PreviousOwners::Keep(keeper_);
        testenv::DeleteProductShortcuts();
    }
    void TearDown() override {
        testenv::DeleteProductShortcuts();
        keeper_.Restore();
    }
    testenv::NoMenuBuilder noMenuBuilder_;
    testenv::RegKeeper keeper_;
};

// The real program, copied with the companions into an installation folder: the setup run
// silently, then the uninstall run silently. The self-removal batch is handed to a stand-in
// for the command interpreter, which keeps it without running it.
class RoundTrip : public RoundTripBase, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        RoundTripBase::SetUp();
        programName_ = IsNinetyFamily() ? "kvxround98.exe" : "uninstall.exe";
        if (IsNinetyFamily()) testenv::SetAppVersion(programName_, "win98");
    }
    void TearDown() override {
        if (IsNinetyFamily()) testenv::SetAppVersion(programName_, "");
        DeleteFileA(BatchPath().c_str());
        RoundTripBase::TearDown();
    }
    bool IsNinetyFamily() const { return strcmp(GetParam(), "9x") == 0; }
    static std::string BatchPath() {
        char temp[MAX_PATH];
        DWORD len = GetTempPathA(sizeof(temp), temp);
        return std::string(temp, len) + "Uninstall_Kvx.Bat";
    }
    // Everything the installer would have put there, and its list.
    void Install(const std::string& folder) {
        const char* const companions[] = {"Kolvex.exe", "kvxext.dll", "kvxext64.dll", "kolvex.hlp",
                                          "Kvx.txt",    "license.txt", "order.htm"};
        std::string list;
        for (const char* file : companions) {
            ASSERT_TRUE(testenv::CopyFileTo(testenv::BinDir() + "\\companions\\" + file, folder + "\\" + file)) << file;
            list += std::string(file) + "\r\n";
        }
        ASSERT_TRUE(testenv::CopyFileTo(testenv::ProgramPath(), folder + "\\" + programName_));
        list += "kvxnew.dat\r\nzipnew.dat\r\n" + programName_ + "\r\nUninstall.lst\r\n";
        ASSERT_TRUE(testenv::WriteFileBytes(folder + "\\Uninstall.lst", list));
    }
    // The environment with COMSPEC pointing at the stand-in.
    std::string Environment(const std::string& captureDir) {
        std::string block;
        char* env = GetEnvironmentStringsA();
        for (const char* p = env; *p; p += strlen(p) + 1) {
            if (_strnicmp(p, "COMSPEC=", 8) != 0 && _strnicmp(p, "KVX_CAPTURE_", 12) != 0) block += std::string(p) + '\0';
        }
        FreeEnvironmentStringsA(env);
        block += "COMSPEC=" + testenv::BinDir() + "\\uninstcapture.exe" + '\0';
        block += "KVX_CAPTURE_DIR=" + captureDir + '\0';
        block += std::string("KVX_CAPTURE_RUN=0") + '\0' + '\0';
        return block;
    }
    void RunProgram(const std::string& folder, const std::string& args, const std::string& env) {
        testenv::Process program;
        ASSERT_TRUE(program.Start("\"" + folder + "\\" + programName_ + "\" " + args, folder, env.c_str()));
        DWORD code = 1;
        bool ended = program.Wait(60000, &code);
        if (!ended) program.Kill();
        ASSERT_TRUE(ended) << args;
        EXPECT_EQ(code, 0u) << args;
    }

    std::string programName_;
};

TEST_P(RoundTrip, UninstallLeavesOnlyTheNamedLeftovers) {
    testenv::ScratchDir scratch("roundtrip");
    std::string folder = scratch / "Kolvex Archiver";
    std::string capture = scratch / "capture";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(capture.c_str(), nullptr));
    Install(folder);
    PreviousOwners::Write(KEY_WOW64_64KEY);
    std::string env = Environment(capture);

    Snapshot before = TakeSnapshot();
    RunProgram(folder, "/setup /s", env);

    // The setup wrote what it should, from the installation folder.
    std::string exe = folder + "\\Kolvex.exe";
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".zip", ""), "Kolvex.ZIP");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".kvx", ""), "Kolvex");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Kolvex\\shell\\open\\command", ""), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Kolvex.REV\\DefaultIcon", ""), exe + ",1");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, std::string("CLSID\\") + ShellExtClassId + "\\InProcServer32", ""),
              folder + "\\kvxext.dll");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, AppPathKey, ""), exe);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString"), folder + "\\" + programName_);
    testenv::ShortcutPlaces places = testenv::GetShortcutPlaces();
    EXPECT_TRUE(testenv::Exists(places.Programs + "\\Kolvex\\Kolvex.lnk"));
    EXPECT_EQ(testenv::Exists(places.CommonPrograms + "\\Kolvex\\Kolvex.lnk"), !IsNinetyFamily());
    // The user picks another icon for the archives meanwhile.
    testenv::RestoreRegTree(HKEY_CLASSES_ROOT, "Kolvex\\DefaultIcon",
                            RegTreeData{{{"", Sz("C:\\Users\\mine.ico,0")}}, {}}, KEY_WOW64_64KEY);

    RunProgram(folder, "/s", env);

    Comparison rules;
    rules.PreviousKvxClass = PreviousOwners::KvxClass;
    rules.NewMenuDataStays = IsNinetyFamily();
    Snapshot after = TakeSnapshot();
    std::vector<std::string> problems = Unexplained(before, after, rules);
    EXPECT_TRUE(problems.empty()) << Join(problems);
}

INSTANTIATE_TEST_SUITE_P(Families, RoundTrip, ::testing::Values("NT", "9x"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// The same in the test program itself acting as the 32-bit program on 64-bit Windows, where
// the 64-bit shell extension's class keys lie in the other registry view.
class RoundTripWow64 : public RoundTripBase {
protected:
    void SetUp() override {
        RoundTripBase::SetUp();
        texts_.emplace();
        for (const char* lib : {ShellExtLibrary, ShellExt64Library})
            testenv::WriteFileBytes(testenv::BinDir() + "\\" + lib, "MZ");
        SetRegistryBaseView(KEY_WOW64_32KEY);
        SetWow64Answer(1);
    }
    void TearDown() override {
        SetRegistryBaseView(0);
        SetWow64Answer(-1);
        for (const char* lib : {ShellExtLibrary, ShellExt64Library})
            DeleteFileA((testenv::BinDir() + "\\" + lib).c_str());
        for (const char* file : {"kvxnew.dat", "zipnew.dat"}) DeleteFileA((testenv::BinDir() + "\\" + file).c_str());
        texts_.reset();
        RoundTripBase::TearDown();
    }
    std::optional<testenv::ProductTextsScope> texts_;
};

TEST_F(RoundTripWow64, RemovalLeavesNoClassInEitherView) {
    PreviousOwners::Write(KEY_WOW64_32KEY);
    Snapshot before = TakeSnapshot();
    SetupOptions options;
    LoadSetupOptions(options);
    SaveSetupOptions(options);
    char groupPath[IntegrationPathSize] = "";
    ApplyIntegration(options, groupPath);
    RegisterUninstaller();
    ASSERT_TRUE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + ShellExt64ClassId).c_str(),
                                       KEY_WOW64_64KEY));

    Comparison rules;
    rules.ViewPrefix = "Wow6432Node\\";
    rules.PreviousKvxClass = PreviousOwners::KvxClass;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first removal" : "second removal");
        RemoveIntegration();
        std::vector<std::string> problems = Unexplained(before, TakeSnapshot(), rules);
        EXPECT_TRUE(problems.empty()) << Join(problems);
    }
}

}  // namespace
