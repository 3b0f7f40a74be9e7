// Paths built for the completion dialog's buttons: one backslash, whole or nothing.
#include "setupui/donedlgfiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
TEST(JoinFolderAndName, PutsExactlyOneBackslashBetween) {
    LeadByteTable cp936;
    FillCodePage936Table(cp936);
    struct Case {
        const char* Folder;
        const char* Expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Kolvex", "C:\\Program Files\\Kolvex\\license.txt"},
        {"C:\\", "C:\\license.txt"},                 // a drive root keeps its one backslash
        {"C:", "C:\\license.txt"},
        {"\\\\server\\share\\", "\\\\server\\share\\license.txt"},
        // The second byte of this double-byte character is 0x5C; it is no folder end.
        {"D:\\\x81\x5c", "D:\\\x81\x5c\\license.txt"},
        {"D:\\\x81\x5c\\", "D:\\\x81\x5c\\license.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Folder);
        char path[64];
        EXPECT_TRUE(JoinFolderAndName(cp936, path, sizeof(path), c.Folder, "license.txt"));
        EXPECT_STREQ(path, c.Expected);
    }
}

TEST(JoinFolderAndName, TooLongGivesNothingRatherThanACutPath) {
    LeadByteTable cp936;
    FillCodePage936Table(cp936);
    struct Case {
        const char* Folder;
        const char* Name;
        bool Fits;
    };
    const Case cases[] = {
        {"C:\\abc", "d.txt", true},     // 12 characters and the terminator fill 13 exactly
        {"C:\\abc", "de.txt", false},   // the name does not fit
        {"C:\\abcdefghi", "d", false},  // the backslash does not fit
        {"C:\\abcdefghijklm", "d", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Folder) + " + " + c.Name);
        char path[13];
        memset(path, 'x', sizeof(path));
        EXPECT_EQ(JoinFolderAndName(cp936, path, sizeof(path), c.Folder, c.Name), c.Fits);
        if (!c.Fits) EXPECT_STREQ(path, "");
    }
}

TEST(QuoteProgramPath, QuotesTheWholePathOrGivesNothing) {
    struct Case {
        const char* Path;
        const char* Expected;  // null: does not fit
    };
    const Case cases[] = {
        {"C:\\a b\\K.exe", "\"C:\\a b\\K.exe\""},  // 14 characters and the terminator fill 15
        {"C:\\a bc\\K.exe", nullptr},
        {"C:\\K.exe", "\"C:\\K.exe\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        char line[15];
        EXPECT_EQ(QuoteProgramPath(line, c.Path), c.Expected != nullptr);
        EXPECT_STREQ(line, c.Expected ? c.Expected : "");
    }
}
}  // namespace
