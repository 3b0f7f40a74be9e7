// The integration sequence and its fixed entries: application path, archive type classes and
// the uninstall registration, in Wine's real registry.
#include "integration/integration.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <optional>
#include <string>

#include "common/integrationenv_win.h"
#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"
#include "integration/shellext.h"
#include "localization/messages.h"

namespace {

using testenv::RegTreeData;
using testenv::RegValueData;

const char ApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

RegValueData Sz(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }

std::string Read(HKEY root, const std::string& key, const char* name) {
    std::string value;
    return testenv::RegReadString(root, key.c_str(), name, &value) ? value : "(none)";
}

class IntegrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        testenv::KeepIntegrationKeys(keeper_);
        for (const char* key : {"Kolvex", "Kolvex.ZIP", "Kolvex.REV", ".rev"})
            testenv::RestoreRegTree(HKEY_CLASSES_ROOT, key, std::nullopt);
        texts_.emplace();
        testenv::DeleteProductShortcuts();
    }
    void TearDown() override {
        testenv::DeleteProductShortcuts();
        texts_.reset();
        for (const char* file : {"kvxnew.dat", "zipnew.dat"}) DeleteFileA((testenv::BinDir() + "\\" + file).c_str());
        keeper_.Restore();
    }
    static std::string Exe() { return testenv::BinDir() + "\\Kolvex.exe"; }

    testenv::NoMenuBuilder noMenuBuilder_;
    testenv::RegKeeper keeper_;
    std::optional<testenv::ProductTextsScope> texts_;
};

TEST_F(IntegrationTest, TypeClassesOpenWithTheArchiver) {
    RegisterTypeClasses();

    struct Case {
        const char* Class;
        const char* Description;
        int Icon;
    };
    const Case cases[] = {
        {"Kolvex", "Kolvex 档案文件", 0},
        {"Kolvex.ZIP", "Kolvex ZIP 档案文件", 0},
        {"Kolvex.REV", "KVX 恢复卷", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Class);
        std::string cls = c.Class;
        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, cls, ""), testenv::Ansi(c.Description));
        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, cls + "\\shell\\open\\command", ""), "\"" + Exe() + "\" \"%1\"");
        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, cls + "\\DefaultIcon", ""), Exe() + "," + std::to_string(c.Icon));
    }
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".rev", ""), "Kolvex.REV");
}

TEST_F(IntegrationTest, IconIsSetOnlyWhenEmptyTextsAlways) {
    struct Case {
        const char* Name;
        std::optional<std::string> Icon;  // nullopt: no value
        std::string Expected;
    };
    const Case cases[] = {
        {"no icon", std::nullopt, Exe() + ",0"},
        {"empty icon", std::string(), Exe() + ",0"},
        {"the user's icon", std::string("C:\\Users\\mine.ico,3"), "C:\\Users\\mine.ico,3"},
        {"an icon too long to read counts as none", std::string(1100, 'i'), Exe() + ",0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RegTreeData cls;
        cls.Values[""] = Sz("renamed by hand");
        cls.Children["shell"].Children["open"].Children["command"].Values[""] = Sz("other.exe %1");
        if (c.Icon) cls.Children["DefaultIcon"].Values[""] = Sz(*c.Icon);
        testenv::RestoreRegTree(HKEY_CLASSES_ROOT, "Kolvex", cls);

        RegisterTypeClasses();

        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Kolvex\\DefaultIcon", ""), c.Expected);
        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Kolvex", ""), testenv::Ansi("Kolvex 档案文件"));
        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Kolvex\\shell\\open\\command", ""), "\"" + Exe() + "\" \"%1\"");
    }
}

// Run from installation folders of the test's choice through a program copy.
TEST_F(IntegrationTest, EntriesFollowTheInstallationFolder) {
    testenv::ScratchDir scratch("entries");
    struct Case {
        std::string Folder;  // with its trailing backslash
        std::string Path;    // the "Path" value
    };
    const Case cases[] = {
        {scratch.Path() + "\\Kolvex Archiver\\", scratch.Path() + "\\Kolvex Archiver"},
        {"C:\\", "C:\\"},  // a drive root keeps its backslash
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Folder);
        CreateDirectoryA(c.Folder.c_str(), nullptr);
        std::string probe = c.Folder + "kvxentries.exe";
        ASSERT_TRUE(testenv::CopyFileTo(testenv::BinDir() + "\\integrationprobe.exe", probe));
        auto run = testenv::RunAndWait("\"" + probe + "\" \"" + testenv::ProgramPath() + "\" entries");
        DeleteFileA(probe.c_str());
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u);

        std::string exe = c.Folder + "Kolvex.exe";
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, AppPathKey, ""), exe);
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, AppPathKey, "Path"), c.Path);
        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Kolvex.ZIP\\shell\\open\\command", ""), "\"" + exe + "\" \"%1\"");
        // The bare path, blanks and all: started without switches the program uninstalls.
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString"), probe);
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName"), testenv::Ansi("Kolvex 压缩专家"));
        testenv::RestoreRegTree(HKEY_CLASSES_ROOT, "Kolvex.ZIP", std::nullopt);  // icons are set once
    }
}

// With every choice off the setup still writes its fixed entries, and takes back what the
// choices had put in place.
TEST_F(IntegrationTest, EverythingOffStillWritesTheFixedEntries) {
    SetupOptions all;
    for (int slot = 0; slot < SetupOptionSlots; ++slot) all[slot] = 1;
    ApplyIntegration(all, nullptr);
    testenv::ShortcutPlaces places = testenv::GetShortcutPlaces();
    ASSERT_TRUE(testenv::Exists(places.Desktop + "\\Kolvex.lnk"));
    ASSERT_EQ(Read(HKEY_CLASSES_ROOT, ".cab", ""), "Kolvex");
    for (const char* key : {"Kolvex", "Kolvex.ZIP", "Kolvex.REV", ".rev"})
        testenv::RestoreRegTree(HKEY_CLASSES_ROOT, key, std::nullopt);
    testenv::RestoreRegTree(HKEY_LOCAL_MACHINE, AppPathKey, std::nullopt);

    char groupPath[IntegrationPathSize] = "(untouched)";
    ApplyIntegration(SetupOptions(), groupPath);

    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, AppPathKey, ""), Exe());
    for (const char* key : {"Kolvex", "Kolvex.ZIP", "Kolvex.REV"})
        EXPECT_TRUE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, (std::string(key) + "\\shell\\open\\command").c_str())) << key;
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".rev", ""), "Kolvex.REV");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, ApprovedKey, ShellExtClassId), "(none)");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".cab", ""), "(none)");
    EXPECT_FALSE(testenv::Exists(places.Desktop + "\\Kolvex.lnk"));
    EXPECT_FALSE(testenv::Exists(places.Programs + "\\Kolvex"));
    EXPECT_STREQ(groupPath, "(untouched)");
}

}  // namespace
