// Platform helpers in a process that runs with code page 936.
#include <gtest/gtest.h>

#include <cstring>

#include "common/testenv_win.h"
#include "support/pathutil.h"
#include "support/platform.h"

using namespace testenv;

TEST(LeadByteTableFromSystem, CodePage936) {
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_TRUE(LeadBytes.multiByte);
    EXPECT_TRUE(LeadBytes.isLeadByte[0x81]);
    EXPECT_TRUE(LeadBytes.isLeadByte[0xFE]);
    EXPECT_FALSE(LeadBytes.isLeadByte[0x5C]);
    EXPECT_FALSE(LeadBytes.isLeadByte[0x80]);
}

// "\xb1\x5c" is one code page 936 character; a real folder of that name must keep its name.
TEST(LeadByteTableFromSystem, FolderNameEndingInTrailBackslash) {
    ScratchDir dir("dbcs");
    std::string folder = dir.Path() + "\\\xd6\xd0\xb1\x5c";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    char path[1024];
    ASSERT_TRUE(CopyWhole(path, folder.c_str()));
    EXPECT_STREQ(GetNamePart(path), "\xd6\xd0\xb1\x5c");
    ASSERT_TRUE(AddTrailingSlash(path));
    EXPECT_EQ(std::string(path), folder + "\\");
    ASSERT_TRUE(FormatWhole(path, "%s\\f.txt", folder.c_str()));
    ASSERT_TRUE(WriteFileBytes(path, "x"));
    EXPECT_TRUE(FileExists(path));
    EXPECT_STREQ(GetNamePart(path), "f.txt");
    RemoveNamePart(path);
    EXPECT_EQ(std::string(path), folder);
    EXPECT_TRUE(FileExists(path));  // a folder counts
}

TEST(Platform, NtFamilyAndNameComparison) {
    int v = WinNtVersion();
    EXPECT_GT(v, 0);
    EXPECT_EQ(WinNtVersion(), v);
    EXPECT_EQ(CompareNamesNoCase("Uninstall.lst", "UNINSTALL.LST"), 0);
    EXPECT_NE(CompareNamesNoCase("Uninstall.lst", "uninstall.exe"), 0);
    EXPECT_FALSE(FileExists("C:\\no\\such\\file"));
}
