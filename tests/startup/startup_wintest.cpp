// The real program under Wine: /wait, /warning, unknown switches.
#include <gtest/gtest.h>

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
