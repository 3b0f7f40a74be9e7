// The whole setup run of the real program: uninstall.exe /setup, interactive and silent,
// from the setup dialog through the completion dialog to the end of the process.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/dialogs_win.h"
#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"
#include "resources/resource.h"
#include "uninstall/removeintegration.h"

using namespace testenv;

namespace {
const char AppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kolvex.exe";
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kolvex archiver";

std::string ProgramsGroup() {
    char path[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE)) return "";
    return std::string(path) + "\\Kolvex";
}

// Top-level windows that the shell opens on a folder carry the folder's name as caption.
HWND WaitForFolderWindow(const std::string& caption, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(nullptr, caption.c_str());
        if (window && IsWindowVisible(window)) {
            char className[64];
            GetClassNameA(window, className, sizeof(className));
            if (std::string(className) != "#32770") return window;
        }
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(50);
    }
}

// The folder window may belong to the process that also draws the desktop, which stays.
void CloseFolderWindow(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < 5000) Sleep(50);
}

class SetupRun : public testing::Test {
protected:
    SetupRun() : dir_("setup run") {}
    void SetUp() override {
        keeper_.Keep(HKEY_CURRENT_USER, "Software\\Kolvex");
        keeper_.Keep(HKEY_LOCAL_MACHINE, AppPathKey);
        keeper_.Keep(HKEY_LOCAL_MACHINE, UninstallKey);
        RegTreeDelete(HKEY_CURRENT_USER, "Software\\Kolvex");
        RegTreeDelete(HKEY_LOCAL_MACHINE, UninstallKey);
        program_ = dir_ / "uninstall.exe";
        ASSERT_TRUE(CopyFileTo(ProgramPath(), program_));
    }
    // What the setup wrote is taken out by the uninstaller's own removal, then the kept
    // keys get their earlier contents back.
    void TearDown() override {
        RemoveIntegration();
        keeper_.Restore();
    }
    DialogQuery Query(int ctrlId, int withoutCtrlId = 0) const {
        DialogQuery query;
        query.ProcessId = process_.Id();
        query.CtrlId = ctrlId;
        query.WithoutCtrlId = withoutCtrlId;
        return query;
    }
    HWND WaitForSetupDialog() { return WaitForDialog(Query(IDC_EXPLANATION), 20000); }
    HWND WaitForDoneDialog() { return WaitForDialog(Query(IDC_THANKS, IDC_EXPLANATION), 20000); }
    void ExpectSettingsSaved() {
        DWORD value = 9;
        EXPECT_TRUE(RegReadDword(HKEY_CURRENT_USER, "Software\\Kolvex\\Setup\\.kvx", "Set", &value));
        EXPECT_EQ(value, 1u);
    }
    void ExpectUninstallRegistration() {
        std::string command;
        EXPECT_TRUE(RegReadString(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString", &command));
        EXPECT_EQ(command, program_);
    }

    ScratchDir dir_;
    RegKeeper keeper_;
    std::string program_;
    Process process_;
};

// Confirmed by the user: saved, applied and registered; the completion dialog shows the
// folder the setup runs in; after Finish the new program group opens in a folder window.
TEST_F(SetupRun, InteractiveRunEndsWithTheCompletionDialogAndTheGroupFolder) {
    ASSERT_TRUE(process_.Start("\"" + program_ + "\" /setup", dir_.Path()));
    HWND setup = WaitForSetupDialog();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(Utf8(WindowTextW(setup)), "Kolvex 安装");
    EXPECT_TRUE(IsChecked(setup, IDC_FORMAT_KVX));
    EXPECT_TRUE(IsChecked(setup, IDC_PROGRAM_GROUP));
    ASSERT_TRUE(PostClick(setup, IDOK));
    HWND done = WaitForDoneDialog();
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(Utf8(DlgItemTextW(done, IDC_INSTALL_FOLDER)), dir_.Path());
    ExpectSettingsSaved();
    ExpectUninstallRegistration();
    EXPECT_TRUE(Exists(ProgramsGroup()));
    ASSERT_TRUE(PostClick(done, IDOK));
    DWORD code = 1;
    ASSERT_TRUE(process_.Wait(20000, &code));
    EXPECT_EQ(code, 0u);
    HWND folder = WaitForFolderWindow("Kolvex", 20000);
    EXPECT_NE(folder, nullptr);
    if (folder) CloseFolderWindow(folder);
}

// Esc and the close box cancel the setup: nothing saved or registered, no completion
// dialog, and the program ends.
TEST_F(SetupRun, CancelledRunChangesNothingAndShowsNoCompletion) {
    for (const DialogExit& c : CancelExits) {
        SCOPED_TRACE(c.Name);
        Process run;
        ASSERT_TRUE(run.Start("\"" + program_ + "\" /setup", dir_.Path()));
        DialogQuery setupQuery;
        setupQuery.ProcessId = run.Id();
        setupQuery.CtrlId = IDC_EXPLANATION;
        HWND setup = WaitForDialog(setupQuery, 20000);
        ASSERT_NE(setup, nullptr);
        c.Press(setup);
        DialogQuery doneQuery;
        doneQuery.ProcessId = run.Id();
        doneQuery.CtrlId = IDC_THANKS;
        doneQuery.WithoutCtrlId = IDC_EXPLANATION;
        HWND done = nullptr;
        DWORD start = GetTickCount();
        while (!run.Wait(50) && GetTickCount() - start < 20000) {
            if ((done = FindDialog(doneQuery)) != nullptr) break;
        }
        EXPECT_EQ(done, nullptr);
        if (done) PostMessageW(done, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(run.Wait(20000));
        EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\Kolvex"));
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, UninstallKey));
    }
}

// /setup /s: no window waits for anyone, the defaults are applied and registered, and no
// folder window opens afterwards.
TEST_F(SetupRun, SilentRunAppliesTheDefaultsWithoutAnyWindow) {
    for (const char* switches : {"/setup /s", "-S /SETUP"}) {
        SCOPED_TRACE(switches);
        RegTreeDelete(HKEY_CURRENT_USER, "Software\\Kolvex");
        RegTreeDelete(HKEY_LOCAL_MACHINE, UninstallKey);
        ProcessResult r = RunAndWait("\"" + program_ + "\" " + switches, dir_.Path(), 30000);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 0u);
        ExpectSettingsSaved();
        ExpectUninstallRegistration();
        EXPECT_TRUE(Exists(ProgramsGroup()));
        EXPECT_EQ(WaitForFolderWindow("Kolvex", 1500), nullptr);
    }
}
}  // namespace
