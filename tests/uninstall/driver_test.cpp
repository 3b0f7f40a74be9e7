// The installation folder of the program and the list error text.
#include "uninstall/driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/pathutil.h"

namespace {
LeadByteTable Cp936() {
    LeadByteTable t{};
    FillCodePage936Table(t);
    return t;
}

TEST(InstallFolderOf, Table) {
    struct Case { const char* Program; bool Cp936; const char* Folder; };  // Folder null: none
    const Case cases[] = {
        {"C:\\Program Files\\Kolvex\\uninstall.exe", false, "C:\\Program Files\\Kolvex"},
        {"C:\\uninstall.exe", false, "C:\\"},
        {"\\\\server\\share\\uninstall.exe", false, "\\\\server\\share"},
        {"uninstall.exe", false, nullptr},
        {"C:uninstall.exe", false, nullptr},
        // The name's second byte 0x5C is part of a character on code page 936.
        {"C:\\dir\\\x95\\.exe", true, "C:\\dir"},
        {"C:\\dir\\\x95\\.exe", false, "C:\\dir\\\x95"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Program);
        char folder[64];
        LeadByteTable table = c.Cp936 ? Cp936() : LeadByteTable{};
        EXPECT_EQ(InstallFolderOf(table, c.Program, folder, sizeof(folder)), c.Folder != nullptr);
        if (c.Folder) EXPECT_STREQ(folder, c.Folder);
    }
    char small[6];
    EXPECT_TRUE(InstallFolderOf(LeadByteTable{}, "C:\\ab\\u.exe", small, sizeof(small)));
    EXPECT_FALSE(InstallFolderOf(LeadByteTable{}, "C:\\abc\\u.exe", small, sizeof(small)));
    EXPECT_STREQ(small, "");
}

TEST(FormatWithText, OnlyTheFirstStringIsTakenAndNothingOverruns) {
    struct Case { const char* Format; size_t Size; const char* Result; };
    const Case cases[] = {
        {"cannot open %s", 64, "cannot open Uninstall.lst"},
        {"%s: 100%% %d %n %x", 64, "Uninstall.lst: 100% %d %n %x"},
        {"%s and %s", 64, "Uninstall.lst and %s"},
        {"no argument", 64, "no argument"},
        {"trailing %", 64, "trailing %"},
        {"cannot open %s", 16, "cannot open Uni"},
        {"abcdef", 4, "abc"},
        {"", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Format);
        char out[65];
        memset(out, 'Z', sizeof(out));
        FormatWithText(LeadByteTable{}, out, c.Size, c.Format, "Uninstall.lst");
        EXPECT_STREQ(out, c.Result);
        EXPECT_EQ(out[c.Size], 'Z');  // not a byte beyond the given size
    }
}

TEST(FormatWithText, CutsBetweenCharacters) {
    // "无法打开 %s" on code page 936: 7 bytes hold three characters, never half of the fourth.
    const char format[] = "\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa %s";
    char out[8];
    FormatWithText(Cp936(), out, sizeof(out), format, "Uninstall.lst");
    EXPECT_STREQ(out, "\xce\xde\xb7\xa8\xb4\xf2");
}
}  // namespace
