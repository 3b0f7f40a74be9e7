// The self-removal batch's text and its command line.
#include "uninstall/selfremoval.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const char Program[] = "C:\\Program Files\\Kolvex\\uninstall.exe";
const char Folder[] = "C:\\Program Files\\Kolvex";
const char Batch[] = "C:\\TEMP\\Uninstall_Kvx.Bat";

std::string Attempts(const std::string& program, const std::string& folder) {
    std::string one = "del \"" + program + "\"\r\nrd \"" + folder + "\"\r\nif not exist \"" + program +
                      "\" goto done\r\n";
    return one + one + one + one + one;
}

TEST(RemovalBatch, BothFamiliesByteForByte) {
    const std::string p = Program, f = Folder, b = Batch;
    const std::string end = ":done\r\nif exist \"" + p + "\" \"" + p + "\" /warning\r\ndel \"" + b + "\"";
    struct Case { bool Nt; std::string Expected; };
    const Case cases[] = {
        {true, "\"" + p + "\" /wait\r\n" + Attempts(p, f) + end},
        {false, "start /wait \"" + p + "\" /wait\r\n" + Attempts(p, f) + end},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Nt ? "NT" : "9x");
        std::string text = BuildRemovalBatch(c.Nt, Program, Folder, Batch);
        EXPECT_EQ(text, c.Expected);
        // 19 lines; only the last has no line end.
        size_t lineEnds = 0;
        for (size_t pos = text.find("\r\n"); pos != std::string::npos; pos = text.find("\r\n", pos + 2)) ++lineEnds;
        EXPECT_EQ(lineEnds, 18u);
        EXPECT_NE(text.back(), '\n');
    }
}

TEST(RemovalBatch, EveryPercentOfAPathIsDoubled) {
    std::string text = BuildRemovalBatch(true, "C:\\Tools 100%\\Kolvex\\u.exe", "C:\\Tools 100%\\Kolvex",
                                         "C:\\T%OS%\\Uninstall_Kvx.Bat");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "\"C:\\Tools 100%%\\Kolvex\\u.exe\" /wait");
    EXPECT_NE(text.find("rd \"C:\\Tools 100%%\\Kolvex\"\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), "del \"C:\\T%%OS%%\\Uninstall_Kvx.Bat\"");
    // Nothing but the paths carries a %: 5 lines x 2 + ... every % comes in a pair.
    size_t singles = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 1 < text.size() && text[i + 1] == '%') ++i;
        else ++singles;
    }
    EXPECT_EQ(singles, 0u);
}

TEST(RemovalBatch, LongPathsAreWrittenWhole) {
    std::string folder = "C:\\" + std::string(1019, 'd');
    std::string program = folder + "\\uninstall.exe";
    std::string text = BuildRemovalBatch(true, program.c_str(), folder.c_str(), Batch);
    EXPECT_EQ(text.substr(0, program.size() + 2), "\"" + program + "\"");
    EXPECT_NE(text.find("if exist \"" + program + "\" \"" + program + "\" /warning\r\n"), std::string::npos);
}

TEST(BatchPath, TemporaryFolderThatLeavesNoRoomGivesNoPath) {
    char path[32];
    EXPECT_TRUE(FormBatchPath(path, sizeof(path), "C:\\TEMP\\"));
    EXPECT_STREQ(path, "C:\\TEMP\\Uninstall_Kvx.Bat");
    std::string temp = std::string(14, 't') + "\\";  // 15 + 17 bytes + terminator: one too many
    EXPECT_FALSE(FormBatchPath(path, sizeof(path), temp.c_str()));
    EXPECT_STREQ(path, "");
}

TEST(BatchCommandLine, InterpreterSwitchAndQuotedBatch) {
    char line[64];
    EXPECT_TRUE(FormBatchCommandLine(line, sizeof(line), "C:\\WINDOWS\\COMMAND.COM", Batch));
    EXPECT_STREQ(line, "C:\\WINDOWS\\COMMAND.COM /c \"C:\\TEMP\\Uninstall_Kvx.Bat\"");
    EXPECT_TRUE(FormBatchCommandLine(line, sizeof(line), "", Batch));
    EXPECT_STREQ(line, " /c \"C:\\TEMP\\Uninstall_Kvx.Bat\"");
    char small[16];
    EXPECT_FALSE(FormBatchCommandLine(small, sizeof(small), "cmd", Batch));
    EXPECT_STREQ(small, "");
}
}  // namespace
