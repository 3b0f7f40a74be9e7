// The registry access layer against Wine's real registry: the path rule, the length limit,
// readers' defaults, the write views and the recursive deletion on both families.
#include "registry/regaccess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"

namespace {

using testenv::RegKeyPresent;
using testenv::RegReadDword;
using testenv::RegReadString;

const char SettingsKey[] = "Software\\Kolvex";
const char UserTestKey[] = "Software\\KvxRegTest";
const char ClassesTestKey[] = "KvxRegTest";
const char MachineTestKey[] = "Software\\KvxRegTest";

bool RawSet(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size,
            REGSAM view = 0) {
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool RawSetString(HKEY root, const std::string& path, const char* name, const char* text, REGSAM view = 0) {
    return RawSet(root, path, name, REG_SZ, text, (DWORD)strlen(text) + 1, view);
}

bool RawValuePresent(HKEY root, const std::string& path, const char* name, REGSAM view = 0) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    LONG r = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

// A key path of exactly len characters: the base, then components of at most 100 characters.
std::string PathOfLength(const std::string& base, size_t len) {
    std::string path = base;
    while (len - path.size() > 101) path += "\\" + std::string(100, 'p');
    path += "\\" + std::string(len - path.size() - 1, 'q');
    return path;
}

class RegAccessTest : public testing::Test {
protected:
    void SetUp() override {
        keeper_.Keep(HKEY_CURRENT_USER, SettingsKey);
        keeper_.Keep(HKEY_CURRENT_USER, UserTestKey);
        keeper_.Keep(HKEY_CLASSES_ROOT, ClassesTestKey);
        keeper_.Keep(HKEY_LOCAL_MACHINE, MachineTestKey, KEY_WOW64_64KEY);
        keeper_.Keep(HKEY_LOCAL_MACHINE, MachineTestKey, KEY_WOW64_32KEY);
        Clear();
    }
    void TearDown() override {
        SetRegistry64View(false);
        SetRegistryBaseView(0);
        keeper_.Restore();
    }
    void Clear() {
        testenv::RemoveRegTree(HKEY_CURRENT_USER, SettingsKey);
        testenv::RemoveRegTree(HKEY_CURRENT_USER, UserTestKey);
        testenv::RemoveRegTree(HKEY_CLASSES_ROOT, ClassesTestKey);
        testenv::RemoveRegTree(HKEY_LOCAL_MACHINE, MachineTestKey, KEY_WOW64_64KEY);
        testenv::RemoveRegTree(HKEY_LOCAL_MACHINE, MachineTestKey, KEY_WOW64_32KEY);
    }
    testenv::RegKeeper keeper_;
};

// Where a write lands: relative paths below the settings key, a leading backslash from the
// root of HKEY_CURRENT_USER, other roots as given.
TEST_F(RegAccessTest, WritesLandWhereThePathRuleSays) {
    struct Case { HKEY Root; const char* Path; const char* RawPath; };
    const Case cases[] = {
        {HKEY_CURRENT_USER, "Setup", "Software\\Kolvex\\Setup"},
        {HKEY_CURRENT_USER, "Setup\\MenuItems", "Software\\Kolvex\\Setup\\MenuItems"},
        {HKEY_CURRENT_USER, "", "Software\\Kolvex"},
        {HKEY_CURRENT_USER, "\\Software\\KvxRegTest\\Literal", "Software\\KvxRegTest\\Literal"},
        {HKEY_CLASSES_ROOT, "KvxRegTest\\Sub", "KvxRegTest\\Sub"},
        {HKEY_LOCAL_MACHINE, "Software\\KvxRegTest\\Sub", "Software\\KvxRegTest\\Sub"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_TRUE(SetRegString(c.Root, c.Path, "Text", "value"));
        EXPECT_TRUE(SetRegDword(c.Root, c.Path, "Number", 7));
        std::string text;
        DWORD number = 0;
        EXPECT_TRUE(RegReadString(c.Root, c.RawPath, "Text", &text));
        EXPECT_EQ(text, "value");
        EXPECT_TRUE(RegReadDword(c.Root, c.RawPath, "Number", &number));
        EXPECT_EQ(number, 7u);
        EXPECT_TRUE(RegKeyExists(c.Root, c.Path));
    }
    // The user forms are the HKEY_CURRENT_USER forms.
    EXPECT_TRUE(SetUserString("Setup", "UserText", "u"));
    EXPECT_TRUE(SetUserDword("Setup", "UserNumber", 3));
    std::string text;
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, "Software\\Kolvex\\Setup", "UserText", &text));
    EXPECT_EQ(text, "u");
    EXPECT_EQ(GetUserDword("Setup", "UserNumber", 0), 3u);
}

// Below the other roots a leading backslash stays part of the path: the write must not land
// in the key that the path would name without it.
TEST_F(RegAccessTest, LeadingBackslashIsKeptBelowOtherRoots) {
    struct Case { HKEY Root; const char* Path; const char* Stripped; };
    const Case cases[] = {
        {HKEY_CLASSES_ROOT, "\\KvxRegTest\\Lead", "KvxRegTest\\Lead"},
        {HKEY_LOCAL_MACHINE, "\\Software\\KvxRegTest\\Lead", "Software\\KvxRegTest\\Lead"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        char mapped[RegPathBufferSize];
        ASSERT_TRUE(MakeRegPath(c.Root, mapped, c.Path, sizeof(mapped)));
        EXPECT_STREQ(mapped, c.Path);
        SetRegString(c.Root, c.Path, "Text", "value");
        EXPECT_FALSE(RawValuePresent(c.Root, c.Stripped, "Text"));
    }
}

// 236 characters work for every root and every operation; 237 are refused before any
// registry call, so a key that exists under the mapped long path is neither read, written
// nor deleted.
TEST_F(RegAccessTest, LengthLimitForEveryRoot) {
    struct Case { HKEY Root; std::string Base; std::string RawPrefix; };
    const Case cases[] = {
        {HKEY_CURRENT_USER, "RegTest", "Software\\Kolvex\\"},
        {HKEY_CURRENT_USER, "\\Software\\KvxRegTest", ""},
        {HKEY_CLASSES_ROOT, "KvxRegTest", ""},
        {HKEY_LOCAL_MACHINE, "Software\\KvxRegTest", ""},
    };
    for (const Case& c : cases) {
        std::string fits = PathOfLength(c.Base, 236);
        std::string tooLong = PathOfLength(c.Base, 237);
        std::string rawFits = c.RawPrefix + (fits[0] == '\\' ? fits.substr(1) : fits);
        std::string rawLong = c.RawPrefix + (tooLong[0] == '\\' ? tooLong.substr(1) : tooLong);
        SCOPED_TRACE(testing::Message() << c.Base);

        EXPECT_TRUE(SetRegString(c.Root, fits.c_str(), "Text", "ok"));
        EXPECT_TRUE(SetRegDword(c.Root, fits.c_str(), "Number", 5));
        char buffer[16];
        EXPECT_TRUE(GetRegString(c.Root, fits.c_str(), "Text", buffer, "default"));
        EXPECT_STREQ(buffer, "ok");
        EXPECT_EQ(GetRegDword(c.Root, fits.c_str(), "Number", 9), 5u);
        EXPECT_TRUE(RegKeyExists(c.Root, fits.c_str()));
        DeleteRegValue(c.Root, fits.c_str(), "Text");
        EXPECT_FALSE(RawValuePresent(c.Root, rawFits, "Text"));
        DeleteRegKey(c.Root, fits.c_str());
        EXPECT_FALSE(RegKeyPresent(c.Root, rawFits.c_str()));
        SetRegString(c.Root, fits.c_str(), "Text", "ok");
        DeleteRegTree(c.Root, fits.c_str());
        EXPECT_FALSE(RegKeyPresent(c.Root, rawFits.c_str()));

        ASSERT_TRUE(RawSetString(c.Root, rawLong, "Text", "there"));
        ASSERT_TRUE(RawSet(c.Root, rawLong, "Number", REG_DWORD, "\x01\0\0\0", 4));
        EXPECT_FALSE(SetRegString(c.Root, tooLong.c_str(), "Text", "changed"));
        EXPECT_FALSE(SetRegDword(c.Root, tooLong.c_str(), "Number", 2));
        EXPECT_FALSE(SetRegBinary(c.Root, tooLong.c_str(), "Bytes", "ab", 2));
        EXPECT_FALSE(GetRegString(c.Root, tooLong.c_str(), "Text", buffer, "default"));
        EXPECT_STREQ(buffer, "default");
        DWORD number = 0;
        EXPECT_FALSE(QueryRegDword(c.Root, tooLong.c_str(), "Number", &number, 9));
        EXPECT_EQ(number, 9u);
        EXPECT_FALSE(RegKeyExists(c.Root, tooLong.c_str()));
        EXPECT_EQ(OpenRegKeyForRead(c.Root, tooLong.c_str()), nullptr);
        EXPECT_EQ(OpenRegKeyForWrite(c.Root, tooLong.c_str()), nullptr);
        DeleteRegValue(c.Root, tooLong.c_str(), "Text");
        DeleteRegKey(c.Root, tooLong.c_str());
        DeleteRegTree(c.Root, tooLong.c_str());
        std::string text;
        EXPECT_TRUE(RegReadString(c.Root, rawLong.c_str(), "Text", &text));
        EXPECT_EQ(text, "there");
        EXPECT_FALSE(RawValuePresent(c.Root, rawLong, "Bytes"));
    }
}

// A reader hands back the default unless the whole value fits, and always a terminated text,
// also for a string that was stored without its terminating zero. The buffer sits between
// guard bytes that must stay untouched.
TEST_F(RegAccessTest, StringReaderDefaultsAndTermination) {
    const std::string key = std::string(UserTestKey) + "\\Read";
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "fits", REG_SZ, "abcdefg", 8));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "toolong", REG_SZ, "abcdefgh", 9));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "noterm", REG_SZ, "abc", 3));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "notermfull", REG_SZ, "abcdefgh", 8));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "empty", REG_SZ, "", 0));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "", REG_SZ, "dflt", 5));
    struct Case { const char* Path; const char* Name; const char* Default; DWORD Size; bool Read; const char* Text; };
    const Case cases[] = {
        {"\\Software\\KvxRegTest\\Read", "fits", "D", 8, true, "abcdefg"},
        {"\\Software\\KvxRegTest\\Read", "toolong", "D", 8, false, "D"},
        {"\\Software\\KvxRegTest\\Read", "noterm", "D", 8, true, "abc"},
        {"\\Software\\KvxRegTest\\Read", "notermfull", "D", 8, false, "D"},
        {"\\Software\\KvxRegTest\\Read", "empty", "D", 8, true, ""},
        {"\\Software\\KvxRegTest\\Read", "", "D", 8, true, "dflt"},
        {"\\Software\\KvxRegTest\\Read", "missing", "D", 8, false, "D"},
        {"\\Software\\KvxRegTest\\NoSuchKey", "fits", "D", 8, false, "D"},
        {"\\Software\\KvxRegTest\\Read", "missing", "0123456789", 4, false, "012"},  // default cut to fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Path << " " << c.Name);
        std::vector<char> area(c.Size + 16, '#');
        char* buffer = area.data() + 8;
        EXPECT_EQ(GetUserString(c.Path, c.Name, buffer, c.Default, c.Size), c.Read);
        ASSERT_NE(memchr(buffer, 0, c.Size), nullptr);
        EXPECT_STREQ(buffer, c.Text);
        EXPECT_EQ(std::string(area.data(), 8), std::string(8, '#'));
        EXPECT_EQ(std::string(buffer + c.Size, 8), std::string(8, '#'));
    }
}

// A number is read only when the value has exactly four bytes; the stored type is not checked.
TEST_F(RegAccessTest, NumberReaderDefaults) {
    const std::string key = std::string(UserTestKey) + "\\Read";
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "dword", REG_DWORD, "\x05\0\0\0", 4));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "binary4", REG_BINARY, "\x06\0\0\0", 4));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "short", REG_BINARY, "\x07\0", 2));
    ASSERT_TRUE(RawSet(HKEY_CURRENT_USER, key, "qword", REG_QWORD, "\x08\0\0\0\0\0\0\0", 8));
    struct Case { const char* Name; bool Read; DWORD Value; };
    const Case cases[] = {
        {"dword", true, 5}, {"binary4", true, 6}, {"short", false, 99}, {"qword", false, 99}, {"missing", false, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DWORD value = 0;
        EXPECT_EQ(QueryRegDword(HKEY_CURRENT_USER, "\\Software\\KvxRegTest\\Read", c.Name, &value, 99), c.Read);
        EXPECT_EQ(value, c.Value);
        EXPECT_EQ(GetRegDword(HKEY_CURRENT_USER, "\\Software\\KvxRegTest\\Read", c.Name, 99), c.Value);
    }
    EXPECT_EQ(GetUserDword("NoSuchKey", "dword", 42), 42u);
}

TEST_F(RegAccessTest, BinaryWriterAndKeyHandles) {
    EXPECT_TRUE(SetRegBinary(HKEY_CURRENT_USER, "\\Software\\KvxRegTest", "Bytes", "\x01\x00\x02", 3));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, UserTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE data[8];
    DWORD size = sizeof(data), type = 0;
    ASSERT_EQ(RegQueryValueExA(key, "Bytes", nullptr, &type, data, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(std::string((char*)data, size), std::string("\x01\x00\x02", 3));

    EXPECT_FALSE(CloseRegKey(nullptr));
    HKEY opened = OpenRegKeyForRead(HKEY_CURRENT_USER, "\\Software\\KvxRegTest");
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(CloseRegKey(opened));
    EXPECT_EQ(OpenRegKeyForRead(HKEY_CURRENT_USER, "\\Software\\KvxRegTest\\Missing"), nullptr);
}

// A write that the registry refuses (a value name beyond the registry's limit, data it cannot
// read) is reported, although the key itself could be opened and closed.
TEST_F(RegAccessTest, WriterReportsARefusedWrite) {
    const std::string tooLongName(20000, 'v');
    EXPECT_FALSE(SetRegString(HKEY_CURRENT_USER, "\\Software\\KvxRegTest", tooLongName.c_str(), "x"));
    EXPECT_FALSE(SetRegDword(HKEY_CURRENT_USER, "\\Software\\KvxRegTest", tooLongName.c_str(), 1));
    EXPECT_FALSE(SetRegBinary(HKEY_CURRENT_USER, "\\Software\\KvxRegTest", "Bytes", nullptr, 4));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, UserTestKey));
    EXPECT_TRUE(SetRegString(HKEY_CURRENT_USER, "\\Software\\KvxRegTest", "Short", "x"));
}

// A removal that finds nothing has nothing to do, and the second run changes nothing.
TEST_F(RegAccessTest, DeletingTwiceIsHarmless) {
    ASSERT_TRUE(SetUserString("Gone", "Text", "x"));
    ASSERT_TRUE(SetUserString("Stays", "Text", "y"));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        DeleteRegValue(HKEY_CURRENT_USER, "Stays", "Text");
        DeleteRegKey(HKEY_CURRENT_USER, "Gone");
        DeleteRegTree(HKEY_CURRENT_USER, "Gone");
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Gone"));
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Stays"));
        EXPECT_FALSE(RawValuePresent(HKEY_CURRENT_USER, "Software\\Kolvex\\Stays", "Text"));
    }
    // A single-key deletion leaves a key that still has subkeys.
    ASSERT_TRUE(SetUserString("Parent\\Child", "Text", "z"));
    DeleteRegKey(HKEY_CURRENT_USER, "Parent");
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Parent\\Child"));
}

// Builds levels[0] children, each with levels[1] children, and so on, with values on every key.
int BuildTree(HKEY root, const std::string& path, const std::vector<int>& levels, size_t depth = 0) {
    RawSetString(root, path, "", "node");
    RawSet(root, path, "Number", REG_DWORD, "\x01\0\0\0", 4);
    int count = 1;
    if (depth == levels.size()) return count;
    for (int i = 0; i < levels[depth]; ++i)
        count += BuildTree(root, path + "\\Key" + std::to_string(i), levels, depth + 1);
    return count;
}

// Deleting a child moves its siblings down in the enumeration; repeated passes still remove
// every key, and nothing beside the tree.
TEST_F(RegAccessTest, DeleteRegTreeRemovesAWholeTree) {
    struct Case { HKEY Root; const char* Path; std::string RawPath; std::string RawSibling; };
    const Case cases[] = {
        {HKEY_CURRENT_USER, "\\Software\\KvxRegTest\\Tree", "Software\\KvxRegTest\\Tree", "Software\\KvxRegTest\\Keep"},
        {HKEY_CURRENT_USER, "Tree", "Software\\Kolvex\\Tree", "Software\\Kolvex\\Keep"},
        {HKEY_CLASSES_ROOT, "KvxRegTest\\Tree", "KvxRegTest\\Tree", "KvxRegTest\\Keep"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        ASSERT_TRUE(RawSetString(c.Root, c.RawSibling, "", "keep"));
        ASSERT_GT(BuildTree(c.Root, c.RawPath, {6, 6, 8}), 300);
        DeleteRegTree(c.Root, c.Path);
        EXPECT_FALSE(RegKeyPresent(c.Root, c.RawPath.c_str()));
        EXPECT_TRUE(RegKeyPresent(c.Root, c.RawSibling.c_str()));
        DeleteRegTree(c.Root, c.Path);
        EXPECT_TRUE(RegKeyPresent(c.Root, c.RawSibling.c_str()));
    }
}

// The empty path below HKEY_CURRENT_USER is the settings key: everything saved goes, and
// nothing beside it.
TEST_F(RegAccessTest, EmptyPathDeletesTheWholeSettingsKey) {
    ASSERT_TRUE(SetUserDword("Setup\\.zip", "Set", 1));
    ASSERT_TRUE(SetUserString("Setup\\.zip", "Type", "x"));
    ASSERT_TRUE(SetUserDword("Setup\\MenuItems", "Extract", 1));
    ASSERT_TRUE(SetUserDword("", "TopValue", 1));
    ASSERT_TRUE(RawSetString(HKEY_CURRENT_USER, UserTestKey, "", "neighbour"));
    DeleteRegTree(HKEY_CURRENT_USER, "");
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, SettingsKey));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, UserTestKey));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, "Software"));
}

// An empty path never names a key to delete: tried on an open key of the test, whose
// children must all survive.
TEST_F(RegAccessTest, EmptyPathBelowOtherRootsDeletesNothing) {
    std::string path = std::string(UserTestKey) + "\\Root";
    BuildTree(HKEY_CURRENT_USER, path, {3, 2});
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    DeleteKeyRecursive(key, "");
    DeleteRegTree(key, "");
    DeleteRegKey(key, "");
    RegCloseKey(key);
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, (path + "\\Key0\\Key1").c_str()));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, (path + "\\Key2").c_str()));
}

// Creates (or, with create false, opens) a chain of keys below HKEY_CURRENT_USER one name at
// a time; true when every key of the chain is there.
bool ChainAction(const std::string& start, const std::vector<std::string>& names, bool create) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, start.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    for (const std::string& name : names) {
        HKEY next;
        LONG r = create ? RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &next, nullptr)
                        : RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &next);
        RegCloseKey(key);
        if (r != ERROR_SUCCESS) return false;
        key = next;
    }
    RegCloseKey(key);
    return true;
}

// A subkey whose name does not fit the enumeration buffer, or whose path does not fit the
// child path buffer, stays with its ancestors; every other key goes.
TEST_F(RegAccessTest, OverlongNamesAndPathsAreSkipped) {
    const std::string base = std::string(UserTestKey) + "\\Long";
    const std::string longName = "m" + std::string(219, 'n');
    ASSERT_TRUE(RawSetString(HKEY_CURRENT_USER, base + "\\a_first", "", "x"));
    ASSERT_TRUE(RawSetString(HKEY_CURRENT_USER, base + "\\" + longName + "\\child", "", "x"));
    ASSERT_TRUE(RawSetString(HKEY_CURRENT_USER, base + "\\z_last", "", "x"));
    // Software\KvxRegTest\Long\deep\ + four names of 150: the fourth child path has 634
    // characters. Wine's narrow functions take no path beyond 260 characters, so the chain is
    // built and looked at one name at a time.
    std::vector<std::string> chain;
    for (int i = 0; i < 4; ++i) chain.push_back(std::string(150, (char)('a' + i)));
    ASSERT_TRUE(ChainAction(base + "\\deep", chain, true));
    ASSERT_TRUE(RawSetString(HKEY_CURRENT_USER, base + "\\deep\\sibling", "", "x"));

    DeleteRegTree(HKEY_CURRENT_USER, "\\Software\\KvxRegTest\\Long");

    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, (base + "\\a_first").c_str()));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, (base + "\\z_last").c_str()));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, (base + "\\deep\\sibling").c_str()));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, (base + "\\" + longName + "\\child").c_str()));
    EXPECT_TRUE(ChainAction(base + "\\deep", chain, false));
}

// The 64-bit test build stands in for the 32-bit program: with the base view set to the 32-bit
// view, the write view sends key creation to the 64-bit view, while reads, existence tests and
// deletions stay in the 32-bit view.
TEST_F(RegAccessTest, WriteViewAndBaseView) {
    SetRegistryBaseView(KEY_WOW64_32KEY);
    const char* path = "Software\\KvxRegTest\\View";
    const std::string raw = path;
    EXPECT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, path, "Own", "32"));
    SetRegistry64View(true);
    EXPECT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, path, "Wide", "64"));
    EXPECT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, path, "WideNumber", 64));
    char buffer[8];
    EXPECT_FALSE(GetRegString(HKEY_LOCAL_MACHINE, path, "Wide", buffer, ""));
    EXPECT_TRUE(GetRegString(HKEY_LOCAL_MACHINE, path, "Own", buffer, ""));
    EXPECT_STREQ(buffer, "32");
    DeleteRegValue(HKEY_LOCAL_MACHINE, path, "Wide");
    SetRegistry64View(false);

    EXPECT_TRUE(RawValuePresent(HKEY_LOCAL_MACHINE, raw, "Own", KEY_WOW64_32KEY));
    EXPECT_FALSE(RawValuePresent(HKEY_LOCAL_MACHINE, raw, "Own", KEY_WOW64_64KEY));
    EXPECT_TRUE(RawValuePresent(HKEY_LOCAL_MACHINE, raw, "Wide", KEY_WOW64_64KEY));
    EXPECT_TRUE(RawValuePresent(HKEY_LOCAL_MACHINE, raw, "WideNumber", KEY_WOW64_64KEY));
    EXPECT_FALSE(RawValuePresent(HKEY_LOCAL_MACHINE, raw, "Wide", KEY_WOW64_32KEY));

    // Deletions reach the 32-bit view only, whatever the write view.
    SetRegistry64View(true);
    DeleteRegKey(HKEY_LOCAL_MACHINE, path);
    SetRegistry64View(false);
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\KvxRegTest"));

    BuildTree(HKEY_LOCAL_MACHINE, "Software\\KvxRegTest\\Tree", {3, 3}, 0);
    ASSERT_TRUE(RawSetString(HKEY_LOCAL_MACHINE, "Software\\KvxRegTest\\Tree\\Key0", "", "x", KEY_WOW64_32KEY));
    DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\KvxRegTest\\Tree");
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "Software\\KvxRegTest\\Tree", KEY_WOW64_32KEY));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "Software\\KvxRegTest\\Tree\\Key2\\Key2", KEY_WOW64_64KEY));

    // Back to the default: the process's own view.
    SetRegistryBaseView(0);
    EXPECT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, path, "Plain", "own"));
    EXPECT_TRUE(RawValuePresent(HKEY_LOCAL_MACHINE, raw, "Plain", KEY_WOW64_64KEY));
}

// The 9x family deletes a tree in one call where the system allows it and falls back to the
// passes where it does not; run in a helper that Wine tells it runs on Windows 98.
class RegAccess9xTest : public RegAccessTest {
protected:
    void SetUp() override {
        RegAccessTest::SetUp();
        probe_ = scratch_ / "regprobe_w98.exe";
        ASSERT_TRUE(testenv::CopyFileTo(testenv::BinDir() + "\\regprobe.exe", probe_));
        testenv::SetAppVersion("regprobe_w98.exe", "win98");
    }
    void TearDown() override {
        testenv::SetAppVersion("regprobe_w98.exe", "");
        RegAccessTest::TearDown();
    }
    testenv::ScratchDir scratch_{"regaccess9x"};
    std::string probe_;
};

TEST_F(RegAccess9xTest, DeleteRegTreeRemovesAWholeTree) {
    testenv::ProcessResult version = testenv::RunAndWait("\"" + probe_ + "\" version");
    ASSERT_TRUE(version.finished);
    ASSERT_EQ(version.exitCode, 0u);  // the 9x family
    ASSERT_TRUE(RawSetString(HKEY_CURRENT_USER, "Software\\KvxRegTest\\Keep", "", "keep"));
    BuildTree(HKEY_CURRENT_USER, "Software\\KvxRegTest\\Tree", {5, 4, 6});
    testenv::ProcessResult run = testenv::RunAndWait("\"" + probe_ + "\" deltree \\Software\\KvxRegTest\\Tree");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\KvxRegTest\\Tree"));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\KvxRegTest\\Keep"));
}

}  // namespace
