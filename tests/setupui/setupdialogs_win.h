// Shared fixture of the in-process dialog tests (header only): the program's resources,
// the rich-edit class, recorders in place of the help viewer, the shell and the confirmation
// steps, and the settings key and the .jar and .iso classes kept as they were.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/dialogs_win.h"
#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"
#include "localization/dlglocal.h"
#include "localization/langres.h"
#include "localization/messages.h"
#include "resources/resource.h"
#include "setupui/donedlg.h"
#include "setupui/options.h"
#include "setupui/setupdlg.h"
#include "startup/startup.h"

namespace setupuitest {

struct HelpCall {
    HWND Owner;
    std::string File;
    UINT Command;
    ULONG_PTR Data;
};

struct ShellCall {
    HWND Owner;
    std::string Verb;
    std::string File;
    bool HasParameters;
    std::string Directory;
    int Show;
};

// Filled from the dialog's thread; read by the test once the dialog has ended or after a
// synchronous click.
struct Recorded {
    std::vector<HelpCall> Help;
    std::vector<ShellCall> Shell;
    std::vector<std::string> Steps;
    SetupOptions Applied;
    char* GroupPathBuffer = nullptr;
};
inline Recorded Calls;

class DialogFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the setup dialog as the program opens it.
    static INT_PTR OpenSetupDialog();
    static INT_PTR OpenDoneDialog();

    testenv::RegKeeper keeper_;
private:
    HMODULE richEdit_ = nullptr;
    HINSTANCE savedResources_ = nullptr;
    HINSTANCE savedProgram_ = nullptr;
    HelpRoutine savedHelp_ = nullptr;
    ShellOpenRoutine savedShell_ = nullptr;
    SetupConfirmSteps savedSteps_ = {};
    HICON savedIcon_ = nullptr;
    HFONT savedFont_ = nullptr;
};

namespace detail {
inline BOOL WINAPI RecordHelp(HWND owner, LPCSTR file, UINT command, ULONG_PTR data) {
    Calls.Help.push_back({owner, file ? file : "", command, data});
    return TRUE;
}

inline HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                             INT show) {
    Calls.Shell.push_back({owner, verb ? verb : "(null)", file ? file : "(null)", parameters != nullptr,
                           directory ? directory : "(null)", show});
    return (HINSTANCE)42;
}

// The real save, so that the tests see what reaches the registry; the integration and the
// uninstall registration are only recorded.
inline void RecordSave(const SetupOptions& options) {
    Calls.Steps.push_back("save");
    SaveSetupOptions(options);
}

inline void RecordApply(const SetupOptions& options, char* programGroupPath) {
    Calls.Steps.push_back("apply");
    Calls.Applied = options;
    Calls.GroupPathBuffer = programGroupPath;
}

inline void RecordRegister() { Calls.Steps.push_back("register"); }
}  // namespace detail

inline void DialogFixture::SetUp() {
    Calls = Recorded{};
    savedResources_ = ResourceModule;
    savedProgram_ = ProgramModule;
    // The test program carries the product's resources.
    ResourceModule = ProgramModule = GetModuleHandleA(nullptr);
    Language.Clear();
    richEdit_ = LoadLibraryA("riched32.dll");
    ASSERT_NE(richEdit_, nullptr);
    savedHelp_ = OpenHelp;
    OpenHelp = detail::RecordHelp;
    savedShell_ = ShellOpen;
    ShellOpen = detail::RecordShell;
    savedSteps_ = ConfirmSteps;
    ConfirmSteps = {detail::RecordSave, detail::RecordApply, detail::RecordRegister};
    savedIcon_ = AppIcon;
    AppIcon = LoadIconA(ResourceModule, APP_ICON_NAME);
    savedFont_ = BoldDialogFont;
    SilentMode = false;
    // Saved settings, and other programs' claims on .jar and .iso, change what the dialog
    // shows: every test starts without them.
    keeper_.Keep(HKEY_CURRENT_USER, "Software\\Kolvex");
    keeper_.Keep(HKEY_CLASSES_ROOT, ".jar");
    keeper_.Keep(HKEY_CLASSES_ROOT, ".iso");
    testenv::RegTreeDelete(HKEY_CURRENT_USER, "Software\\Kolvex");
    testenv::RegTreeDelete(HKEY_CLASSES_ROOT, ".jar");
    testenv::RegTreeDelete(HKEY_CLASSES_ROOT, ".iso");
}

inline void DialogFixture::TearDown() {
    keeper_.Restore();
    SilentMode = false;
    ProgramGroupPath[0] = 0;
    BoldDialogFont = savedFont_;
    AppIcon = savedIcon_;
    ConfirmSteps = savedSteps_;
    ShellOpen = savedShell_;
    OpenHelp = savedHelp_;
    if (richEdit_) FreeLibrary(richEdit_);
    ResourceModule = savedResources_;
    ProgramModule = savedProgram_;
}

inline INT_PTR DialogFixture::OpenSetupDialog() {
    return DialogBoxParamA(ResourceModule, SETUP_DIALOG_NAME, nullptr, SetupDlgProc, 0);
}

inline INT_PTR DialogFixture::OpenDoneDialog() {
    return DialogBoxParamA(ResourceModule, DONE_DIALOG_NAME, nullptr, DoneDlgProc, 0);
}

}  // namespace setupuitest
