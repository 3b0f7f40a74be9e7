// The fixed data of the associations: extension lists, class names, volume names, templates.
#include "integration/exttable.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const char* list, size_t bufferSize) {
    std::vector<std::string> out;
    std::vector<char> ext(bufferSize);
    for (const char* rest = list; (rest = NextExtension(rest, ext.data(), ext.size()));) out.push_back(ext.data());
    return out;
}

TEST(NextExtension, SplitsAtEveryDotAfterTheFirst) {
    struct Case { const char* List; size_t BufferSize; std::vector<std::string> Exts; };
    const Case cases[] = {
        {".kvx", 32, {".kvx"}},
        {".lzh.lha", 32, {".lzh", ".lha"}},
        {".uue.xxe.uu", 32, {".uue", ".xxe", ".uu"}},
        {".bz2.tbz2.bz.tbz", 32, {".bz2", ".tbz2", ".bz", ".tbz"}},
        {".z.taz", 32, {".z", ".taz"}},
        {"", 32, {}},
        {".bz2.tbz2", 5, {".bz2"}},  // ".tbz2" needs 6 bytes: the walk stops there
        {".kvx", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.List << " in " << c.BufferSize);
        EXPECT_EQ(Split(c.List, c.BufferSize), c.Exts);
    }
}

TEST(FirstExtension, NamesTheSettingsKeyOfEachFormat) {
    const char* const expected[] = {".kvx", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                                    ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};
    for (int slot = 0; slot < FormatSlots; ++slot) {
        SCOPED_TRACE(slot);
        char ext[MaxExtensionSize];
        ASSERT_TRUE(FirstExtension(slot, ext));
        EXPECT_STREQ(ext, expected[slot]);
    }
    char ext[MaxExtensionSize];
    EXPECT_FALSE(FirstExtension(FormatSlots, ext));
    EXPECT_FALSE(FirstExtension(-1, ext));
}

TEST(IsKolvexClass, BothClassesInAnyLetterCase) {
    struct Case { const char* Class; bool Ours; };
    const Case cases[] = {
        {"Kolvex", true}, {"kolvex", true}, {"KOLVEX", true}, {"Kolvex.ZIP", true}, {"kolvex.zip", true},
        {"Kolvex.REV", false}, {"Kolvex ", false}, {"Kolve", false}, {"", false}, {"Kolvex.ZIP2", false},
        {"OtherApp.Archive", false}, {"\xc4\xcb\xc1\xd6", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Class);
        EXPECT_EQ(IsKolvexClass(c.Class), c.Ours);
    }
}

// Windows 95 4.0, 98 4.10, NT 4.0 take "Data"; Me 4.90, 2000 5.0, XP 5.1 and later a file.
TEST(NewMenuUsesDataFile, ByWindowsVersion) {
    struct Case { unsigned long Major, Minor; bool File; };
    const Case cases[] = {{4, 0, false}, {4, 10, false}, {4, 90, true}, {5, 0, true}, {5, 1, true}, {10, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Major << "." << c.Minor);
        EXPECT_EQ(NewMenuUsesDataFile(c.Major, c.Minor), c.File);
    }
}

TEST(ShellNewBackupValue, FileNameBeforeNullFile) {
    EXPECT_STREQ(ShellNewBackupValue("C:\\t\\x.dat", true), "C:\\t\\x.dat");
    EXPECT_STREQ(ShellNewBackupValue("", true), "*");
    EXPECT_STREQ(ShellNewBackupValue("", false), "");
}

TEST(VolumeExtension, Names) {
    char ext[MaxExtensionSize];
    ASSERT_TRUE(VolumeExtension(0, ext));
    EXPECT_STREQ(ext, ".k00");
    ASSERT_TRUE(VolumeExtension(99, ext));
    EXPECT_STREQ(ext, ".k99");
    char small[4];
    EXPECT_FALSE(VolumeExtension(5, small));
    EXPECT_EQ(VolumeCountToAssociate(true), 30);
    EXPECT_EQ(VolumeCountToAssociate(false), 100);
}

const unsigned char KvxBytes[20] = {0x4B, 0x76, 0x78, 0x21, 0x1A, 0x07, 0x00, 0xCF, 0x90, 0x73,
                                    0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const unsigned char ZipBytes[22] = {0x50, 0x4B, 0x05, 0x06};

TEST(NewArchiveTemplates, ExactBytesOnceCompleted) {
    CompleteTemplates();
    EXPECT_EQ(std::string((const char*)KvxTemplate, KvxTemplateSize), std::string((const char*)KvxBytes, 20));
    EXPECT_EQ(std::string((const char*)ZipTemplate, ZipTemplateSize), std::string((const char*)ZipBytes, 22));
}

TEST(NewArchiveTemplates, KvxHeaderCheckIsTheLowHalfOfTheHeaderCrc) {
    CompleteTemplates();
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, KvxTemplate + 9, 11);
    unsigned stored = KvxTemplate[7] | (KvxTemplate[8] << 8);
    EXPECT_EQ(stored, crc & 0xFFFF);
}

// An independent reader must see an archive with no entries.
TEST(NewArchiveTemplates, ZipTemplateOpensAsAnEmptyArchive) {
    CompleteTemplates();
    std::string path = testing::TempDir() + "kvx_zipnew_test.zip";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fwrite(ZipTemplate, 1, ZipTemplateSize, f), ZipTemplateSize);
    ASSERT_EQ(fclose(f), 0);
    std::string cmd = "python3 -c \"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                      "sys.exit(0 if z.namelist() == [] and z.testzip() is None else 3)\" '" + path + "'";
    int status = std::system(cmd.c_str());
    remove(path.c_str());
    EXPECT_EQ(status, 0);
}

}  // namespace
