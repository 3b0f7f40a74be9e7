// Path and text helpers, single-byte and on code page 936.
#include "support/pathutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
LeadByteTable SingleByte() { return LeadByteTable{}; }
LeadByteTable Cp936() {
    LeadByteTable t{};
    FillCodePage936Table(t);
    return t;
}

TEST(GetNamePart, Table) {
    struct Case { const char* Path; const char* Name; };
    const Case cases[] = {
        {"C:\\dir\\file.txt", "file.txt"}, {"dir/file", "file"}, {"C:file", "file"},
        {"file", "file"}, {"C:\\dir\\", ""}, {"", ""}, {"\\\\server\\share\\x", "x"},
    };
    for (const LeadByteTable& t : {SingleByte(), Cp936()}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Path);
            const char* n = GetNamePart(t, c.Path);
            EXPECT_STREQ(n, c.Name);
            EXPECT_EQ(n, c.Path + strlen(c.Path) - strlen(c.Name));  // a position in the path
        }
    }
}

TEST(AddTrailingSlash, Table) {
    struct Case { const char* Before; const char* After; };
    const Case cases[] = {
        {"", ""}, {"C:", "C:\\"}, {"C:\\", "C:\\"}, {"dir/", "dir/\\"}, {"C:\\dir", "C:\\dir\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Before);
        char buf[32];
        strcpy(buf, c.Before);
        EXPECT_TRUE(AddTrailingSlash(SingleByte(), buf, sizeof(buf)));
        EXPECT_STREQ(buf, c.After);
    }
}

TEST(AddTrailingSlash, RefusesWhenNoRoom) {
    char buf[7] = "C:\\dir";  // six characters and the terminator fill it
    EXPECT_FALSE(AddTrailingSlash(buf));
    EXPECT_STREQ(buf, "C:\\dir");
    char fits[8] = "C:\\dir";
    EXPECT_TRUE(AddTrailingSlash(fits));
    EXPECT_STREQ(fits, "C:\\dir\\");
}

TEST(RemoveNamePart, Table) {
    struct Case { const char* Before; const char* After; };
    const Case cases[] = {
        {"C:\\dir\\name.ext", "C:\\dir"}, {"C:\\dir\\", "C:\\dir"}, {"C:\\name.ext", "C:\\"},
        {"C:name.ext", "C:"}, {"\\\\server\\share\\name", "\\\\server\\share"}, {"dir\\name", "dir"},
        {"\\name", "\\"}, {"name", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Before);
        char buf[64];
        strcpy(buf, c.Before);
        RemoveNamePart(SingleByte(), buf);
        EXPECT_STREQ(buf, c.After);
    }
}

// "\xb1\x5c" is one character of code page 936 whose second byte is a backslash.
TEST(DoubleBytePaths, TrailByteBackslashIsNotADivider) {
    LeadByteTable t = Cp936();
    const char path[] = "C:\\\xd6\xd0\xb1\x5c\\x.txt";
    EXPECT_STREQ(GetNamePart(t, path), "x.txt");
    const char folder[] = "C:\\a\\\xb1\x5c";
    EXPECT_STREQ(GetNamePart(t, folder), "\xb1\x5c");  // the whole character is the name
    EXPECT_STREQ(GetNamePart(SingleByte(), folder), "");  // a byte walk splits it

    char buf[32];
    strcpy(buf, folder);
    EXPECT_TRUE(AddTrailingSlash(t, buf, sizeof(buf)));
    EXPECT_STREQ(buf, "C:\\a\\\xb1\x5c\\");

    strcpy(buf, folder);
    RemoveNamePart(t, buf);
    EXPECT_STREQ(buf, "C:\\a");
}

TEST(DoubleBytePaths, LeadByteAtTheEndStopsAtTheTerminator) {
    LeadByteTable t = Cp936();
    const char s[] = "ab\xb1";
    EXPECT_EQ(NextChar(t, s + 2), s + 3);
    EXPECT_EQ(PointToLastChar(t, s), s + 2);
    char buf[8] = "C:\\\xb1";
    EXPECT_TRUE(AddTrailingSlash(t, buf, sizeof(buf)));
    EXPECT_STREQ(buf, "C:\\\xb1\\");
}

TEST(TrimRight, Table) {
    struct Case { const char* Before; const char* After; };
    const Case cases[] = {
        {" \t\r\n", ""}, {"name", "name"}, {"a b \t\r\n", "a b"}, {"  lead", "  lead"}, {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Before);
        char buf[32];
        strcpy(buf, c.Before);
        EXPECT_EQ(TrimRight(buf), buf);
        EXPECT_STREQ(buf, c.After);
    }
}

TEST(Formatting, CutToFitOrWholeOrNothing) {
    char buf[8];
    FormatTo(buf, "%s-%d", "abcdef", 42);
    EXPECT_STREQ(buf, "abcdef-");
    EXPECT_FALSE(FormatWhole(buf, "%s\\%s", "C:\\a", "bcd"));
    EXPECT_STREQ(buf, "");
    EXPECT_TRUE(FormatWhole(buf, "%s\\%s", "C:\\a", "bc"));
    EXPECT_STREQ(buf, "C:\\a\\bc");
    EXPECT_FALSE(CopyWhole(buf, "12345678"));
    EXPECT_STREQ(buf, "");
    EXPECT_TRUE(CopyWhole(buf, "1234567"));
}
}  // namespace
