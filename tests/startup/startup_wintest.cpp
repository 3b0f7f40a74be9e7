// The real program under Wine: /wait, /warning, unknown switches.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>

#include "common/testenv_win.h"

using namespace testenv;

namespace {
class ProgramRun : public ::testing::Test {
protected:
    ProgramRun() : dir_("startup") {}
    void SetUp() override {
        program_ = dir_ / "uninstall.exe";
        ASSERT_TRUE(CopyFileTo(ProgramPath(), program_));
        // A list the uninstall flow would act on: it must survive every run here.
        ASSERT_TRUE(WriteFileBytes(dir_ / "Uninstall.lst", "keep.txt\r\n"));
        ASSERT_TRUE(WriteFileBytes(dir_ / "keep.txt", "x"));
    }
    ScratchDir dir_;
    std::string program_;
};

TEST_F(ProgramRun, WaitPausesAboutTwoSecondsAndRemovesNothing) {
    ProcessResult r = RunAndWait("\"" + program_ + "\" /wait", dir_.Path(), 20000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_GE(r.elapsedMs, 1900u);
    EXPECT_LT(r.elapsedMs, 8000u);
    EXPECT_TRUE(Exists(dir_ / "keep.txt"));
    EXPECT_TRUE(Exists(dir_ / "Uninstall.lst"));
}

TEST_F(ProgramRun, UnknownSwitchEndsAtOnce) {
    for (const char* sw : {"/clean", "-silent", "/", "/x /s"}) {
        SCOPED_TRACE(sw);
        ProcessResult r = RunAndWait("\"" + program_ + "\" " + sw, dir_.Path(), 20000);
        ASSERT_TRUE(r.finished);
        EXPECT_LT(r.elapsedMs, 1500u);
        EXPECT_TRUE(Exists(dir_ / "keep.txt"));
    }
}

TEST_F(ProgramRun, WarningShowsTheNoticeWithTheProgramPath) {
    Process p;
    ASSERT_TRUE(p.Start("\"" + program_ + "\" /warning", dir_.Path()));
    HWND box = WaitForWindow(p.Id(), "#32770", nullptr, 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(WindowTextW(box)), "卸载 Kolvex");
    std::string text = Utf8(DlgItemTextW(box, 0xFFFF));
    EXPECT_EQ(text, "卸载已经完成\n你应该手动删除 " + program_);
    // The program waits for the box: it must still be running.
    EXPECT_FALSE(p.Wait(200));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 1;
    ASSERT_TRUE(p.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Exists(dir_ / "keep.txt"));
}
}  // namespace

namespace {
// Runs /warning with the given translation of the second line and returns the notice text.
std::string WarningWithTranslation(const ScratchDir& dir, const std::string& program,
                                   const std::string& translation) {
    std::string source = "s" + Ansi("你应该手动删除 %s");
    char key[16];
    snprintf(key, sizeof(key), "%08lx", crc32(0, (const Bytef*)source.data(), (uInt)source.size()));
    EXPECT_TRUE(WriteFileBytes(dir / "uninstall.lng",
                               "***messages***\r\n" + std::string(key) + "=\"" + translation + "\"\r\n"));
    Process p;
    EXPECT_TRUE(p.Start("\"" + program + "\" /warning", dir.Path()));
    HWND box = WaitForWindow(p.Id(), "#32770", nullptr, 15000);
    if (!box) return "(no notice)";
    std::string text = Utf8(DlgItemTextW(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 1;
    EXPECT_TRUE(p.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
    return text;
}

// The translated second line only gets the path in place of its first "%s": it is never a
// format of its own, and a text longer than the notice's buffer is cut, not written past it.
TEST(WarningNotice, TranslationIsNeverAFormatAndIsCutToTheBuffer) {
    ScratchDir dir("warntranslated");
    std::string program = dir / "uninstall.exe";
    ASSERT_TRUE(CopyFileTo(ProgramPath(), program));
    std::string head = "卸载已经完成\n";
    std::string longText = std::string(300, 'x') + " %s " + std::string(300, 'y');
    std::string longExpected = head + std::string(300, 'x') + " " + program + " " + std::string(300, 'y');
    struct Case { std::string Translation; std::string Expected; };
    const Case cases[] = {
        {"%n%x %s %s %d", head + "%n%x " + program + " %s %d"},
        {"100%% sure: %s", head + "100% sure: " + program},
        {"no placeholder", head + "no placeholder"},
        // 511 bytes of code page 936 text, whose six double-byte characters are 3 UTF-8 bytes each.
        {longText, longExpected.substr(0, 511 + 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Translation.substr(0, 40));
        EXPECT_EQ(WarningWithTranslation(dir, program, c.Translation), c.Expected);
    }
}

// A resource library without the setup dialog: the dialog cannot be created, which must not
// be taken for a confirmation. No completion dialog, nothing written.
TEST(SetupFlow, DialogThatCannotBeCreatedConfirmsNothing) {
    ScratchDir dir("nosetupdlg");
    std::string program = dir / "uninstall.exe";
    ASSERT_TRUE(CopyFileTo(ProgramPath(), program));
    ASSERT_TRUE(CopyFileTo(FixtureDir() + "\\kvxlng.dll", dir / "kvxlng.dll"));
    RegTreeDelete(HKEY_CURRENT_USER, "Software\\Kolvex");
    Process p;
    ASSERT_TRUE(p.Start("\"" + program + "\" /setup", dir.Path()));
    HWND dialog = WaitForWindow(p.Id(), "#32770", nullptr, 3000);
    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog, nullptr);
    EXPECT_TRUE(p.Wait(15000));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\Kolvex"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kolvex archiver"));
}
}  // namespace
