// Shortcuts and program groups through Wine's shell link object, read back with an
// independent reader (lnkinfo).
#include "integration/shortcuts.h"

#include <gtest/gtest.h>

#include <optional>
#include <ole2.h>

#include <set>
#include <string>
#include <vector>

#include "common/integrationenv_win.h"
#include "common/lnkreader_win.h"
#include "common/testenv_win.h"
#include "localization/messages.h"

namespace {

const char Untouched[] = "(untouched)";
// The texts the links carry, as the reader reports them (UTF-8).
const char DescriptionText[] = "处理 KVX、ZIP 和其它档案文件格式";
const char* const ItemNames[] = {"Kolvex", "Kolvex 帮助", "控制台 KVX 手册"};
const char* const ItemTargets[] = {"Kolvex.exe", "Kolvex.hlp", "Kvx.txt"};

SetupOptions LinkOptions(bool desktop, bool startMenu, bool group) {
    SetupOptions options;
    options[SlotDesktopLink] = desktop;
    options[SlotStartMenuLink] = startMenu;
    options[SlotProgramGroup] = group;
    return options;
}

std::string ItemPath(const std::string& group, int item) {
    return group + "\\" + testenv::Ansi(ItemNames[item]) + ".lnk";
}

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        texts_.emplace();
        testenv::DeleteProductShortcuts();
    }
    void TearDown() override {
        testenv::DeleteProductShortcuts();
        texts_.reset();
    }
    std::string UserGroup() const { return places_.Programs + "\\Kolvex"; }
    std::string CommonGroup() const { return places_.CommonPrograms + "\\Kolvex"; }
    std::string DesktopLink() const { return places_.Desktop + "\\Kolvex.lnk"; }
    std::string StartMenuLink() const { return places_.StartMenu + "\\Kolvex.lnk"; }
    std::string Run(bool desktop, bool startMenu, bool group) {
        char buffer[IntegrationPathSize];
        snprintf(buffer, sizeof(buffer), "%s", Untouched);
        UpdateShortcuts(LinkOptions(desktop, startMenu, group), buffer);
        return buffer;
    }

    testenv::NoMenuBuilder noMenuBuilder_;
    testenv::ShortcutPlaces places_ = testenv::GetShortcutPlaces();
    std::optional<testenv::ProductTextsScope> texts_;
};

TEST_F(ShortcutsTest, OptionsCreateWhatTheyNameAndTheGroupPathOnlyWithTheGroup) {
    ASSERT_FALSE(places_.Desktop.empty());
    ASSERT_FALSE(places_.CommonPrograms.empty());
    struct Case {
        bool Desktop, StartMenu, Group;
    };
    const Case cases[] = {{true, false, false}, {false, true, false}, {false, false, true}, {true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "desktop " << c.Desktop << " start menu " << c.StartMenu << " group "
                                        << c.Group);
        testenv::DeleteProductShortcuts();
        std::string groupPath = Run(c.Desktop, c.StartMenu, c.Group);

        EXPECT_EQ(testenv::Exists(DesktopLink()), c.Desktop);
        EXPECT_EQ(testenv::Exists(StartMenuLink()), c.StartMenu);
        // The NT family has a group for the user and one for all users.
        for (const std::string& group : {UserGroup(), CommonGroup()}) {
            for (int item = 0; item < 3; ++item) {
                EXPECT_EQ(testenv::Exists(ItemPath(group, item)), c.Group) << ItemPath(group, item);
            }
            if (c.Group) {
                EXPECT_EQ(testenv::ListFolder(group, true).size(), 3u) << group;
            }
        }
        EXPECT_EQ(groupPath, c.Group ? UserGroup() : std::string(Untouched));
    }
}

TEST_F(ShortcutsTest, OptionsOffDeleteLinksAndWholeGroups) {
    Run(true, true, true);
    // Things the user put into the groups go with them.
    for (const std::string& group : {UserGroup(), CommonGroup()}) {
        CreateDirectoryA((group + "\\Extra").c_str(), nullptr);
        testenv::WriteFileBytes(group + "\\Extra\\notes.txt", "mine");
    }

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first removal" : "second removal finds nothing");
        EXPECT_EQ(Run(false, false, false), Untouched);
        EXPECT_FALSE(testenv::Exists(DesktopLink()));
        EXPECT_FALSE(testenv::Exists(StartMenuLink()));
        EXPECT_FALSE(testenv::Exists(UserGroup()));
        EXPECT_FALSE(testenv::Exists(CommonGroup()));
    }
}

TEST_F(ShortcutsTest, ExistingDesktopLinkIsTheUsers) {
    // Whatever the user keeps under that name stays as it is while the option is on...
    ASSERT_TRUE(testenv::WriteFileBytes(DesktopLink(), "the user's own link"));
    Run(true, false, false);
    std::string bytes;
    ASSERT_TRUE(testenv::ReadFileBytes(DesktopLink(), &bytes));
    EXPECT_EQ(bytes, "the user's own link");
    // ...and goes when it is off.
    Run(false, false, false);
    EXPECT_FALSE(testenv::Exists(DesktopLink()));
}

TEST_F(ShortcutsTest, LinksHoldTargetAndDescriptionOnly) {
    Run(true, true, true);
    std::vector<std::pair<std::string, std::string>> links = {
        {DesktopLink(), "Kolvex.exe"}, {StartMenuLink(), "Kolvex.exe"}};
    for (const std::string& group : {UserGroup(), CommonGroup()})
        for (int item = 0; item < 3; ++item) links.push_back({ItemPath(group, item), ItemTargets[item]});

    for (const auto& [link, target] : links) {
        SCOPED_TRACE(link);
        std::string report;
        ASSERT_TRUE(testenv::DescribeLink(link, &report));
        auto fields = testenv::LinkFields(report);
        EXPECT_EQ(fields["Local path"], testenv::BinDir() + "\\" + target);
        EXPECT_EQ(fields["Description"], DescriptionText);
        EXPECT_EQ(fields["Hot Key value"], "0");
        EXPECT_EQ(fields["Icon index"], "0");
        // The reader lists each string the link holds: no arguments, working folder, icon
        // location or relative path.
        std::set<std::string> contains;
        size_t at = 0;
        while ((at = report.find("Contains ", at)) != std::string::npos) {
            size_t end = report.find('\n', at);
            contains.insert(report.substr(at, end - at));
            at = end;
        }
        EXPECT_EQ(contains, (std::set<std::string>{"Contains a link target identifier",
                                                   "Contains a description string"}));
    }
}

// The link object takes MAX_PATH wide characters: a longer link path is refused whole, never
// saved under a cut name.
TEST_F(ShortcutsTest, LinkPathLongerThanMaxPathIsNotWritten) {
    testenv::ScratchDir scratch("lnklong");
    std::string folder = scratch / std::string(200, 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string target = testenv::BinDir() + "\\Kolvex.exe";
    struct Case {
        size_t PathLength;
        bool Written;
    };
    const Case cases[] = {{MAX_PATH - 1, true}, {MAX_PATH, false}, {MAX_PATH + 40, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "path length " << c.PathLength);
        testenv::DeleteTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string prefix = folder + "\\";
        std::string name = std::string(c.PathLength - prefix.size() - 4, 'n') + ".lnk";
        EXPECT_EQ(CreateShortcut(target.c_str(), (prefix + name).c_str(), "d"), c.Written);
        auto files = testenv::ListFolder(folder, false);
        EXPECT_EQ(files.size(), c.Written ? 1u : 0u);
    }
}

TEST_F(ShortcutsTest, DeleteFolderTreeNeedsRoomForTheListEnd) {
    testenv::ScratchDir scratch("deltree");
    std::string folder = scratch / "Group";
    struct Case {
        const char* Name;
        bool Create;
        size_t ExtraRoom;  // bytes behind the terminator
        bool Deleted;
    };
    const Case cases[] = {
        {"no room for the second terminator", true, 0, false},
        {"room for it", true, 1, true},
        {"missing folder", false, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Create) {
            CreateDirectoryA(folder.c_str(), nullptr);
            testenv::WriteFileBytes(folder + "\\a.txt", "a");
        }
        std::vector<char> buffer(folder.begin(), folder.end());
        buffer.push_back(0);
        buffer.resize(buffer.size() + c.ExtraRoom, 'x');
        EXPECT_EQ(DeleteFolderTree(buffer.data(), buffer.size()), c.Deleted);
        EXPECT_EQ(testenv::Exists(folder), c.Create && !c.Deleted);
        testenv::DeleteTree(folder);
    }
}

// Run from a program copy of its own, so that Wine can report the 9x family to it.
class ShortcutFamilyTest : public ShortcutsTest {
protected:
    void TearDown() override {
        testenv::SetAppVersion(probeName_, "");
        ShortcutsTest::TearDown();
    }
    std::string probeName_ = "linkprobe98.exe";
};

TEST_F(ShortcutFamilyTest, AllUsersGroupOnlyOnTheNtFamily) {
    testenv::ScratchDir install("linkfamily");
    struct Case {
        const char* Version;
        bool CommonGroup;
    };
    const Case cases[] = {{"win98", false}, {"winxp", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Version);
        testenv::DeleteProductShortcuts();
        std::string probe = install / probeName_;
        ASSERT_TRUE(testenv::CopyFileTo(testenv::BinDir() + "\\integrationprobe.exe", probe));
        testenv::SetAppVersion(probeName_, c.Version);
        std::string out = install / "group.txt";
        std::string strings = testenv::ProgramPath();

        auto created = testenv::RunAndWait("\"" + probe + "\" \"" + strings + "\" links 0 0 1 \"" + out + "\"");
        ASSERT_TRUE(created.finished);
        EXPECT_EQ(created.exitCode, 0u);
        std::string groupPath;
        testenv::ReadFileBytes(out, &groupPath);
        EXPECT_EQ(groupPath, UserGroup());
        EXPECT_TRUE(testenv::Exists(ItemPath(UserGroup(), 0)));
        EXPECT_EQ(testenv::Exists(ItemPath(CommonGroup(), 0)), c.CommonGroup);

        // Removal on the 9x family leaves the all-users folder alone: that family has none.
        CreateDirectoryA(CommonGroup().c_str(), nullptr);
        auto removed = testenv::RunAndWait("\"" + probe + "\" \"" + strings + "\" links 0 0 0 \"" + out + "\"");
        ASSERT_TRUE(removed.finished);
        EXPECT_FALSE(testenv::Exists(UserGroup()));
        EXPECT_EQ(testenv::Exists(CommonGroup()), !c.CommonGroup);
        testenv::ReadFileBytes(out, &groupPath);
        EXPECT_EQ(groupPath, Untouched);
        testenv::SetAppVersion(probeName_, "");
    }
}

}  // namespace
