// The section [Rename] of wininit.ini: every scheduled file keeps a line, other lines stay.
#include "uninstall/wininit.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST(AddRenameLine, Table) {
    struct Case { const char* Name; std::string Before; std::string After; };
    const Case cases[] = {
        {"no file", "", "[Rename]\r\nNUL=C:\\A~1.TMP\r\n"},
        {"other section, no last line end", "[Other]\r\nx=1",
         "[Other]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A~1.TMP\r\n"},
        {"lines before the next section stay, blank line stays in place",
         "[Rename]\r\nNUL=C:\\OLD.TMP\r\nC:\\NEW.DLL=C:\\NEW.TMP\r\n\r\n[Other]\r\nx=1\r\n",
         "[Rename]\r\nNUL=C:\\OLD.TMP\r\nC:\\NEW.DLL=C:\\NEW.TMP\r\nNUL=C:\\A~1.TMP\r\n\r\n[Other]\r\nx=1\r\n"},
        {"header in other letters and blanks", " [ rename ] \r\n", " [ rename ] \r\nNUL=C:\\A~1.TMP\r\n"},
        {"header is the last line", "[Rename]", "[Rename]\r\nNUL=C:\\A~1.TMP\r\n"},
        {"line feeds only", "[Rename]\nNUL=C:\\OLD.TMP\n", "[Rename]\nNUL=C:\\OLD.TMP\nNUL=C:\\A~1.TMP\r\n"},
        {"section not first", "[a]\r\n[Rename]\r\n[b]\r\n", "[a]\r\n[Rename]\r\nNUL=C:\\A~1.TMP\r\n[b]\r\n"},
        {"a key that only looks like a header", "[Rename]\r\nk=[x]\r\n",
         "[Rename]\r\nk=[x]\r\nNUL=C:\\A~1.TMP\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string text = c.Before;
        EXPECT_TRUE(AddRenameLine(text, "C:\\A~1.TMP"));
        EXPECT_EQ(text, c.After);
    }
}

TEST(AddRenameLine, EachFileOfARunKeepsItsLineAndRepeatsAddNothing) {
    std::string text = "[Rename]\r\nNUL=C:\\OLD.TMP\r\n";
    EXPECT_TRUE(AddRenameLine(text, "C:\\A~1.TMP"));
    EXPECT_TRUE(AddRenameLine(text, "C:\\B~1.TMP"));
    // The passes schedule a file that keeps its name once per pass.
    EXPECT_FALSE(AddRenameLine(text, "C:\\A~1.TMP"));
    EXPECT_FALSE(AddRenameLine(text, "C:\\OLD.TMP"));
    EXPECT_EQ(text, "[Rename]\r\nNUL=C:\\OLD.TMP\r\nNUL=C:\\A~1.TMP\r\nNUL=C:\\B~1.TMP\r\n");
    std::string spaced = "[Rename]\r\nnul = C:\\A~1.TMP\r\n";
    EXPECT_FALSE(AddRenameLine(spaced, "C:\\A~1.TMP"));
}
}  // namespace
