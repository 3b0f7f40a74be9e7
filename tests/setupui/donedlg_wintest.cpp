// The completion dialog opened for real, in this process, driven from the test thread.
#include "setupui/donedlg.h"

#include <string>

#include "setupui/setupdialogs_win.h"

using namespace testenv;
using setupuitest::Calls;

namespace {
// Sets the current directory for one test and puts the previous one back.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path) {
        char saved[MAX_PATH];
        DWORD len = GetCurrentDirectoryA(MAX_PATH, saved);
        saved_.assign(saved, len);
        ok_ = SetCurrentDirectoryA(path.c_str()) != 0;
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }
    bool ok() const { return ok_; }
private:
    std::string saved_;
    bool ok_ = false;
};

std::string StartedLines(const std::string& folder) {
    std::string text;
    ReadFileBytes(folder + "\\started.txt", &text);
    return text;
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!Exists(path)) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(30);
    }
    Sleep(100);  // let the writer finish its line
    return true;
}

class DoneDialogTest : public setupuitest::DialogFixture {
protected:
    DoneDialogTest() : dir_("done dialog") {}
    void SetUp() override {
        DialogFixture::SetUp();
        // A font of our own, so that the test can tell it from the dialog's.
        font_ = CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
        BoldDialogFont = font_;
    }
    void TearDown() override {
        DialogFixture::TearDown();
        if (font_) DeleteObject(font_);
    }
    ScratchDir dir_;
    HFONT font_ = nullptr;
};

// The folder is shown as the system gives it, a drive root with its backslash and any
// other folder without one; the closing line is bold.
TEST_F(DoneDialogTest, ShowsTheCurrentDirectoryAndTheClosingLineInBold) {
    const std::string folders[] = {dir_.Path(), "C:\\"};
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        CurrentDirectory cd(folder);
        ASSERT_TRUE(cd.ok());
        ModalRun run(OpenDoneDialog);
        HWND dialog = run.WaitForDialog(IDC_THANKS);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Utf8(DlgItemTextW(dialog, IDC_INSTALL_FOLDER)), folder);
        EXPECT_EQ((HFONT)SendDlgItemMessageW(dialog, IDC_THANKS, WM_GETFONT, 0, 0), font_);
        EXPECT_EQ((HICON)SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), AppIcon);
        Click(dialog, IDOK);
        ASSERT_TRUE(run.Wait());
    }
}

// Licence and order page come from the current directory with exactly one backslash;
// the home page is the address of string 5112. The dialog stays open for more clicks.
TEST_F(DoneDialogTest, DocumentButtonsOpenTheirFilesAndTheHomePage) {
    struct Case {
        std::string Folder;
        int CtrlId;
        std::string Expected;
    };
    const Case cases[] = {
        {dir_.Path(), IDC_VIEW_LICENSE, dir_ / "license.txt"},
        {dir_.Path(), IDC_ORDER, dir_ / "order.htm"},
        {dir_.Path(), IDC_VISIT_HOME_PAGE, "https://www.kolvex.example/"},
        {"C:\\", IDC_VIEW_LICENSE, "C:\\license.txt"},
        {"C:\\", IDC_ORDER, "C:\\order.htm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Folder + " " + std::to_string(c.CtrlId));
        Calls.Shell.clear();
        CurrentDirectory cd(c.Folder);
        ASSERT_TRUE(cd.ok());
        ModalRun run(OpenDoneDialog);
        HWND dialog = run.WaitForDialog(IDC_THANKS);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(Click(dialog, c.CtrlId));
        ASSERT_TRUE(Click(dialog, c.CtrlId));
        ASSERT_EQ(Calls.Shell.size(), 2u);
        for (const setupuitest::ShellCall& call : Calls.Shell) {
            EXPECT_EQ(call.Owner, nullptr);
            EXPECT_EQ(call.Verb, "open");
            EXPECT_EQ(call.File, c.Expected);
            EXPECT_FALSE(call.HasParameters);
            EXPECT_EQ(call.Directory, "");
            EXPECT_EQ(call.Show, SW_SHOWNORMAL);
        }
        EXPECT_TRUE(IsWindowVisible(dialog));
        Click(dialog, IDOK);
        ASSERT_TRUE(run.Wait());
    }
}

// Kolvex.exe of the current directory starts, also from a folder with a blank in its
// name: a decoy "Kolvex.exe" in the parent folder, which an unquoted command line would
// start instead, stays untouched.
TEST_F(DoneDialogTest, RunStartsKolvexOfTheCurrentDirectory) {
    std::string folder = dir_ / "Kolvex Files";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileTo(BinDir() + "\\runprobe.exe", folder + "\\Kolvex.exe"));
    ASSERT_TRUE(CopyFileTo(BinDir() + "\\runprobe.exe", dir_ / "Kolvex.exe"));
    CurrentDirectory cd(folder);
    ASSERT_TRUE(cd.ok());
    ModalRun run(OpenDoneDialog);
    HWND dialog = run.WaitForDialog(IDC_THANKS);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Click(dialog, IDC_RUN_KOLVEX));
    ASSERT_TRUE(WaitForFile(folder + "\\started.txt", 10000));
    EXPECT_EQ(StartedLines(folder), "\"" + folder + "\\Kolvex.exe\"|" + folder + "\r\n");
    EXPECT_FALSE(Exists(dir_ / "started.txt"));
    EXPECT_TRUE(IsWindowVisible(dialog));
    Click(dialog, IDOK);
    ASSERT_TRUE(run.Wait());
}

TEST_F(DoneDialogTest, RunWithoutKolvexDoesNothing) {
    CurrentDirectory cd(dir_.Path());
    ASSERT_TRUE(cd.ok());
    ModalRun run(OpenDoneDialog);
    HWND dialog = run.WaitForDialog(IDC_THANKS);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Click(dialog, IDC_RUN_KOLVEX));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(Calls.Shell.empty());
    Click(dialog, IDOK);
    ASSERT_TRUE(run.Wait());
    EXPECT_EQ(run.Result(), 1);
}

// The help button asks for the contents of the help file; F1 asks for nothing here.
TEST_F(DoneDialogTest, HelpButtonOpensTheContentsAndF1Nothing) {
    ModalRun run(OpenDoneDialog);
    HWND dialog = run.WaitForDialog(IDC_THANKS);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PressKey(dialog, VK_F1));
    Sleep(300);
    EXPECT_TRUE(Calls.Help.empty());
    ASSERT_TRUE(Click(dialog, IDC_READ_HELP));
    ASSERT_EQ(Calls.Help.size(), 1u);
    EXPECT_EQ(Calls.Help[0].Owner, dialog);
    EXPECT_EQ(Calls.Help[0].File, "kolvex.hlp");
    EXPECT_EQ(Calls.Help[0].Command, (UINT)HELP_FINDER);
    EXPECT_EQ(Calls.Help[0].Data, 0u);
    EXPECT_TRUE(IsWindowVisible(dialog));
    Click(dialog, IDOK);
    ASSERT_TRUE(run.Wait());
}

// Kolvex is installed however the dialog is left.
TEST_F(DoneDialogTest, FinishEscAndCloseBoxAllEndWithOne) {
    const DialogExit cases[] = {
        {"Finish", [](HWND dialog) { Click(dialog, IDOK); }},
        {"Esc", PressEscape},
        {"close box", PressCloseBox},
    };
    for (const DialogExit& c : cases) {
        SCOPED_TRACE(c.Name);
        ModalRun run(OpenDoneDialog);
        HWND dialog = run.WaitForDialog(IDC_THANKS);
        ASSERT_NE(dialog, nullptr);
        c.Press(dialog);
        ASSERT_TRUE(run.Wait());
        EXPECT_EQ(run.Result(), 1);
    }
}

TEST_F(DoneDialogTest, SilentModeClosesItByItself) {
    SilentMode = true;
    ModalRun run(OpenDoneDialog);
    ASSERT_TRUE(run.Wait(10000));
    EXPECT_EQ(run.Result(), 1);
    EXPECT_TRUE(Calls.Shell.empty());
    EXPECT_TRUE(Calls.Help.empty());
}
}  // namespace
