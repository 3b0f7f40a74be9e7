// Process start-up and teardown, the switches and the choice between setup and uninstall.
#include "startup/startup.h"

#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "localization/langres.h"
#include "localization/messages.h"
#include "resources/resource.h"
#include "setupui/donedlg.h"
#include "setupui/setupdlg.h"
#include "startup/cmdline.h"
#include "support/pathutil.h"
#include "support/textformat.h"
#include "uninstall/uninstall.h"

bool SilentMode = false;
HICON AppIcon = nullptr;
HFONT BoldDialogFont = nullptr;
char ProgramGroupPath[IntegrationPathSize] = "";

namespace {
const char LanguageFileName[] = "uninstall.lng";

class StartupActions : public SwitchActions {
public:
    // The self-removal batch runs the program with /wait to let the previous run end.
    void Wait() override { Sleep(2000); }
    void Warning() override { ShowWarningNotice(); }
};

HFONT CreateBoldDialogFont() {
    // 12-pixel bold SimSun, as the completion dialog's closing line is drawn.
    return CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "\xcb\xce\xcc\xe5");
}

// Ends with 1 when confirmed, 0 when cancelled and -1 when the dialog could not be made.
void RunSetupFlow() {
    INT_PTR result = DialogBoxParamA(ResourceModule, SETUP_DIALOG_NAME, nullptr, SetupDlgProc, 0);
    // A dialog that never opened confirmed nothing: no completion dialog claims success.
    if (result != 1) return;
    DialogBoxParamA(ResourceModule, DONE_DIALOG_NAME, nullptr, DoneDlgProc, 0);
    if (ProgramGroupPath[0] && !SilentMode) {
        ShellExecuteA(nullptr, "open", ProgramGroupPath, nullptr, "", SW_SHOWNORMAL);
    }
}
}  // namespace

void ShowWarningNotice() {
    char programPath[1024];
    DWORD len = GetModuleFileNameA(nullptr, programPath, sizeof(programPath));
    if (len == 0 || len >= sizeof(programPath)) programPath[0] = 0;
    char text[MessageSize];
    FormatTo(text, "%s\n", GetMsg(IDS_UNINSTALL_COMPLETE));
    size_t used = strlen(text);
    // The second line is a translatable text with the path in place of its "%s". It is never
    // used as a format itself, so a translation cannot make the formatting read arguments
    // that are not there; a long path or translation is cut to the buffer.
    FormatWithText(LeadBytes, text + used, sizeof(text) - used, GetMsg(IDS_DELETE_BY_HAND), programPath);
    MessageBoxA(nullptr, text, GetMsg(IDS_UNINSTALL_CAPTION), MB_ICONINFORMATION | MB_SETFOREGROUND);
}

int AppMain(HINSTANCE instance, const char* commandLine) {
    ResourceLibrary.Load(instance, nullptr);
    Language.Init(LanguageFileName);
    // Only a successful initialisation (S_FALSE included) is balanced by OleUninitialize.
    bool oleReady = SUCCEEDED(OleInitialize(nullptr));
    // The setup dialog's explanation is a rich-edit control; loading the library registers its class.
    HMODULE richEdit = LoadLibraryA("riched32.dll");
    AppIcon = LoadIconA(ResourceModule, APP_ICON_NAME);
    BoldDialogFont = CreateBoldDialogFont();

    StartupActions actions;
    CommandLine switches = ParseCommandLine(commandLine, actions);
    if (switches.silent) SilentMode = true;
    if (switches.setup) RunSetupFlow();
    else if (switches.switchCount == 0) UninstallMain();

    if (richEdit) FreeLibrary(richEdit);
    if (oleReady) OleUninitialize();
    if (BoldDialogFont) DeleteObject(BoldDialogFont);
    // An icon loaded from a module's resources is shared and needs no DestroyIcon.
    AppIcon = nullptr;
    return 0;
}
