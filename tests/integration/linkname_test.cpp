// Program-group item names from a translation must stay inside the group folder.
#include "integration/linkname.h"

#include <gtest/gtest.h>

#include "support/pathutil.h"

namespace {

TEST(IsPlainItemName, OnlyNamesThatStayInTheFolder) {
    LeadByteTable cp936;
    FillCodePage936Table(cp936);
    struct Case {
        const char* Name;
        bool Plain;
    };
    const Case cases[] = {
        {"Kolvex", true},
        {"Kolvex \xb0\xef\xd6\xfa", true},  // "Kolvex 帮助" in code page 936
        {"\x95\x5c", true},                 // a character whose second byte is a backslash
        {"\xd6\xfa\x5c", false},            // a real backslash after a character
        {"", false},
        {".", false},
        {"..", false},
        {"..\\..\\Startup\\x", false},
        {"sub/name", false},
        {"C:name", false},
        {"a.b", true},
        {"\x81", true},  // a lone lead byte at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(IsPlainItemName(cp936, c.Name), c.Plain);
    }
}

}  // namespace
