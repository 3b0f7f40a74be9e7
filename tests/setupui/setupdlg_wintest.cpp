// The setup dialog and the context menu items dialog opened for real, in this process,
// driven from the test thread.
#include "setupui/setupdlg.h"

#include <richedit.h>

#include <map>
#include <optional>
#include <string>

#include "setupui/contextitems.h"
#include "setupui/setupdialogs_win.h"

using namespace testenv;
using setupuitest::Calls;

namespace {
const char SettingsKey[] = "Software\\Kolvex";
const char MenuItemsKey[] = "Software\\Kolvex\\Setup\\MenuItems";

// The check boxes of the setup dialog below the format boxes, as a test expects them.
struct BoxState {
    int CtrlId;
    bool Checked;
    bool Enabled;
};

void ExpectBoxes(HWND dialog, const std::vector<BoxState>& boxes) {
    for (const BoxState& box : boxes) {
        SCOPED_TRACE(testing::Message() << "check box " << box.CtrlId);
        EXPECT_EQ(IsChecked(dialog, box.CtrlId), box.Checked);
        EXPECT_EQ(IsEnabled(dialog, box.CtrlId), box.Enabled);
    }
}

void ExpectFormats(HWND dialog, bool checked) {
    for (int id = 5101; id <= 5114; ++id) {
        SCOPED_TRACE(testing::Message() << "format box " << id);
        EXPECT_EQ(IsChecked(dialog, id), checked);
    }
}

void SetDword(const std::string& path, const char* name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value));
    RegCloseKey(key);
}

// The value as stored: -1 when missing or not a DWORD.
long long StoredDword(const std::string& path, const char* name) {
    DWORD value = 0;
    return RegReadDword(HKEY_CURRENT_USER, path.c_str(), name, &value) ? (long long)value : -1;
}

std::wstring RichEditText(HWND edit) {
    wchar_t text[2048];
    int n = (int)SendMessageW(edit, WM_GETTEXT, 2048, (LPARAM)text);
    return std::wstring(text, n > 0 ? n : 0);
}

// The colour that most of a window's client area has on the screen.
COLORREF MostCommonColour(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    std::map<COLORREF, int> counts;
    for (int y = 0; y < client.bottom; y += 3)
        for (int x = 0; x < client.right; x += 3) ++counts[ClientPixel(window, x, y)];
    COLORREF best = CLR_INVALID;
    int bestCount = 0;
    for (const auto& c : counts)
        if (c.second > bestCount) best = c.first, bestCount = c.second;
    return best;
}

class SetupDialogTest : public setupuitest::DialogFixture {};

TEST_F(SetupDialogTest, OpensWithTheDefaultsWhenNothingIsSaved) {
    ModalRun run(OpenSetupDialog);
    HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
    ASSERT_NE(dialog, nullptr);
    ExpectFormats(dialog, true);
    ExpectBoxes(dialog, {{IDC_LINK_DESKTOP, false, true},
                         {IDC_LINK_START_MENU, false, true},
                         {IDC_PROGRAM_GROUP, true, true},
                         {IDC_SHELL_INTEGRATION, true, true},
                         {IDC_CASCADED_MENUS, false, true},
                         {IDC_MENU_ICONS, true, true}});
    EXPECT_EQ((HICON)SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), AppIcon);
    PressEscape(dialog);
    ASSERT_TRUE(run.Wait());
}

// Saved choices come back as they were, a disabled shell menu box with its own state.
TEST_F(SetupDialogTest, OpensWithTheSavedChoices) {
    SetDword("Software\\Kolvex\\Setup\\.zip", "Set", 0);
    SetDword("Software\\Kolvex\\Setup\\.tar", "Set", 2);
    SetDword("Software\\Kolvex\\Setup\\.z", "Set", 0);
    SetDword("Software\\Kolvex\\Setup\\Links", "Desktop", 1);
    SetDword("Software\\Kolvex\\Setup\\Links", "Programs", 0);
    SetDword("Software\\Kolvex\\Setup", "ShellExt", 0);
    SetDword("Software\\Kolvex\\Setup", "CascadedMenu", 1);
    SetDword("Software\\Kolvex\\Setup", "MenuIcons", 0);
    ModalRun run(OpenSetupDialog);
    HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsChecked(dialog, IDC_FORMAT_KVX));
    EXPECT_FALSE(IsChecked(dialog, IDC_FORMAT_ZIP));
    EXPECT_TRUE(IsChecked(dialog, IDC_FORMAT_TAR));
    EXPECT_FALSE(IsChecked(dialog, IDC_FORMAT_Z));
    ExpectBoxes(dialog, {{IDC_LINK_DESKTOP, true, true},
                         {IDC_LINK_START_MENU, false, true},
                         {IDC_PROGRAM_GROUP, false, true},
                         {IDC_SHELL_INTEGRATION, false, true},
                         {IDC_CASCADED_MENUS, true, false},
                         {IDC_MENU_ICONS, false, false}});
    PressEscape(dialog);
    ASSERT_TRUE(run.Wait());
}

// The two shell menu boxes follow the shell box at once, keep their states while
// disabled, and OK saves those states.
TEST_F(SetupDialogTest, ShellBoxDisablesTheMenuBoxesWhichKeepTheirStatesForOk) {
    ModalRun run(OpenSetupDialog);
    HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Click(dialog, IDC_CASCADED_MENUS));  // on
    ASSERT_TRUE(Click(dialog, IDC_MENU_ICONS));      // off
    ASSERT_TRUE(Click(dialog, IDC_SHELL_INTEGRATION));
    ExpectBoxes(dialog, {{IDC_SHELL_INTEGRATION, false, true},
                         {IDC_CASCADED_MENUS, true, false},
                         {IDC_MENU_ICONS, false, false}});
    ASSERT_TRUE(Click(dialog, IDC_SHELL_INTEGRATION));
    ExpectBoxes(dialog, {{IDC_SHELL_INTEGRATION, true, true},
                         {IDC_CASCADED_MENUS, true, true},
                         {IDC_MENU_ICONS, false, true}});
    ASSERT_TRUE(Click(dialog, IDC_SHELL_INTEGRATION));
    ASSERT_TRUE(Click(dialog, IDOK));
    ASSERT_TRUE(run.Wait());
    EXPECT_EQ(run.Result(), 1);
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup", "ShellExt"), 0);
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup", "CascadedMenu"), 1);
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup", "MenuIcons"), 0);
    EXPECT_EQ(Calls.Applied[SlotShellIntegration], 0);
    EXPECT_EQ(Calls.Applied[SlotCascadedMenus], 1);
    EXPECT_EQ(Calls.Applied[SlotMenuIcons], 0);
}

TEST_F(SetupDialogTest, SelectAllChecksTheFourteenFormatsOnly) {
    const char* formatKeys[] = {".kvx", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                                ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};
    for (const char* ext : formatKeys) SetDword(std::string("Software\\Kolvex\\Setup\\") + ext, "Set", 0);
    SetDword("Software\\Kolvex\\Setup\\Links", "Desktop", 1);
    SetDword("Software\\Kolvex\\Setup\\Links", "Programs", 0);
    SetDword("Software\\Kolvex\\Setup", "ShellExt", 0);
    SetDword("Software\\Kolvex\\Setup", "CascadedMenu", 1);
    SetDword("Software\\Kolvex\\Setup", "MenuIcons", 0);
    ModalRun run(OpenSetupDialog);
    HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
    ASSERT_NE(dialog, nullptr);
    ExpectFormats(dialog, false);
    ASSERT_TRUE(Click(dialog, IDC_SELECT_ALL));
    ExpectFormats(dialog, true);
    ExpectBoxes(dialog, {{IDC_LINK_DESKTOP, true, true},
                         {IDC_LINK_START_MENU, false, true},
                         {IDC_PROGRAM_GROUP, false, true},
                         {IDC_SHELL_INTEGRATION, false, true},
                         {IDC_CASCADED_MENUS, true, false},
                         {IDC_MENU_ICONS, false, false}});
    PressEscape(dialog);
    ASSERT_TRUE(run.Wait());
}

// Esc and the close box are the dialog's Cancel: nothing is saved, applied or registered.
TEST_F(SetupDialogTest, EscAndCloseBoxEndWithZeroAndChangeNothing) {
    for (const DialogExit& c : CancelExits) {
        SCOPED_TRACE(c.Name);
        Calls.Steps.clear();
        ModalRun run(OpenSetupDialog);
        HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(Click(dialog, IDC_FORMAT_ZIP));
        c.Press(dialog);
        ASSERT_TRUE(run.Wait());
        EXPECT_EQ(run.Result(), 0);
        EXPECT_TRUE(Calls.Steps.empty());
        EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, SettingsKey));
    }
}

TEST_F(SetupDialogTest, OkSavesThenAppliesThenRegisters) {
    ModalRun run(OpenSetupDialog);
    HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Click(dialog, IDC_FORMAT_ZIP));
    ASSERT_TRUE(Click(dialog, IDC_LINK_DESKTOP));
    ASSERT_TRUE(Click(dialog, IDOK));
    ASSERT_TRUE(run.Wait());
    EXPECT_EQ(run.Result(), 1);
    EXPECT_EQ(Calls.Steps, (std::vector<std::string>{"save", "apply", "register"}));
    EXPECT_EQ(Calls.GroupPathBuffer, ProgramGroupPath);
    EXPECT_EQ(Calls.Applied[SlotKvx], 1);
    EXPECT_EQ(Calls.Applied[SlotZip], 0);
    EXPECT_EQ(Calls.Applied[SlotDesktopLink], 1);
    EXPECT_EQ(Calls.Applied[SlotProgramGroup], 1);
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup\\.zip", "Set"), 0);
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup\\.kvx", "Set"), 1);
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup\\Links", "Desktop"), 1);
}

// Nobody is there to press anything: the saved choices are applied and the dialog ends
// during its initialisation.
TEST_F(SetupDialogTest, SilentModeConfirmsTheSavedChoicesByItself) {
    SetDword("Software\\Kolvex\\Setup\\.cab", "Set", 0);
    SetDword("Software\\Kolvex\\Setup\\Links", "StartMenu", 1);
    SilentMode = true;
    ModalRun run(OpenSetupDialog);
    ASSERT_TRUE(run.Wait(10000));
    EXPECT_EQ(run.Result(), 1);
    EXPECT_EQ(Calls.Steps, (std::vector<std::string>{"save", "apply", "register"}));
    EXPECT_EQ(Calls.Applied[SlotCab], 0);
    EXPECT_EQ(Calls.Applied[SlotZip], 1);
    EXPECT_EQ(Calls.Applied[SlotStartMenuLink], 1);
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup\\.cab", "Set"), 0);
}

// Two paragraphs, each indented by two U+E5E5, on the button face; read-only.
TEST_F(SetupDialogTest, ExplanationIsTheReadOnlyTextOnTheButtonFace) {
    const std::wstring indent = L"\xE5E5\xE5E5";
    const std::wstring expected =
        indent +
        Wide("这些选项控制 Kolvex 集成到 Windows 中。第一个选项组用来选择由 Kolvex 处理的档案文件类型。"
             "第二组用来选择放置 Kolvex 可执行文件链接的位置。最后一组用来控制集成到 Windows 外壳中。"
             "外壳集成在档案文件的关联菜单中提供了诸如“释放”等各项便利的工具，所以通常没有理由禁用它。") +
        L"\r\n" + indent + Wide("点击『帮助』按钮阅读关于这些选项的更多细节描述。");
    ModalRun run(OpenSetupDialog);
    HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, IDC_EXPLANATION);
    EXPECT_EQ(RichEditText(edit), expected);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    SendMessageW(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(RichEditText(edit), expected);
    // It can still be selected (and so copied).
    SendMessageW(edit, EM_SETSEL, 0, 4);
    CHARRANGE selection = {};
    SendMessageW(edit, EM_EXGETSEL, 0, (LPARAM)&selection);
    EXPECT_EQ(selection.cpMax - selection.cpMin, 4);
    Sleep(300);
    EXPECT_EQ(MostCommonColour(edit), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW));
    PressEscape(dialog);
    ASSERT_TRUE(run.Wait());
}

TEST_F(SetupDialogTest, HelpButtonAndF1OpenTheSetupTopic) {
    ModalRun run(OpenSetupDialog);
    HWND dialog = run.WaitForDialog(IDC_EXPLANATION);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Click(dialog, IDHELP));
    ASSERT_TRUE(PressKey(dialog, VK_F1));
    DWORD start = GetTickCount();
    while (Calls.Help.size() < 2 && GetTickCount() - start < 5000) Sleep(30);
    ASSERT_EQ(Calls.Help.size(), 2u);
    for (const setupuitest::HelpCall& call : Calls.Help) {
        EXPECT_EQ(call.Owner, dialog);
        EXPECT_EQ(call.File, "kolvex.hlp");
        EXPECT_EQ(call.Command, (UINT)HELP_CONTEXT);
        EXPECT_EQ(call.Data, 4288u);
    }
    EXPECT_TRUE(IsWindowVisible(dialog));
    PressEscape(dialog);
    ASSERT_TRUE(run.Wait());
}

// The eleven commands, their saved value names and defaults, as the shell extension reads them.
struct MenuItem {
    int CtrlId;
    const char* ValueName;
    bool OnByDefault;
};
const MenuItem MenuItems[] = {
    {101, "ExtrTo", true},   {102, "ExtrHere", true}, {103, "Extr", true},     {104, "ExtrSep", true},
    {105, "OpenSFX", true},  {106, "AddTo", true},    {107, "AddArc", true},   {108, "EmailArc", true},
    {109, "EmailOpt", true}, {110, "Test", false},    {111, "Convert", false},
};

class ContextItemsTest : public setupuitest::DialogFixture {
protected:
    // The setup dialog, and the items dialog opened from its button.
    HWND OpenItems(ModalRun& run, HWND* setupDialog = nullptr) {
        HWND setup = run.WaitForDialog(IDC_EXPLANATION);
        EXPECT_NE(setup, nullptr);
        if (!setup) return nullptr;
        if (setupDialog) *setupDialog = setup;
        PostClick(setup, IDC_CONTEXT_ITEMS);
        HWND items = run.WaitForDialog(IDC_ITEM_CONVERT);
        EXPECT_NE(items, nullptr);
        if (items) EXPECT_EQ(GetWindow(items, GW_OWNER), setup);
        return items;
    }
};

TEST_F(ContextItemsTest, OpensWithTheDefaultsAndOkWritesAllEleven) {
    ModalRun run(OpenSetupDialog);
    HWND setup = nullptr;
    HWND items = OpenItems(run, &setup);
    ASSERT_NE(items, nullptr);
    for (const MenuItem& item : MenuItems) {
        SCOPED_TRACE(item.ValueName);
        EXPECT_EQ(IsChecked(items, item.CtrlId), item.OnByDefault);
    }
    ASSERT_TRUE(Click(items, IDOK));
    ASSERT_TRUE(WaitUntilClosed(items, 5000));
    for (const MenuItem& item : MenuItems) {
        SCOPED_TRACE(item.ValueName);
        EXPECT_EQ(StoredDword(MenuItemsKey, item.ValueName), item.OnByDefault ? 1 : 0);
    }
    PressEscape(setup);
    ASSERT_TRUE(run.Wait());
}

// Whatever numbers were stored, OK leaves 0 or 1 for every command, as its box shows.
TEST_F(ContextItemsTest, OkWritesZeroOrOneWhateverWasStored) {
    SetDword(MenuItemsKey, "ExtrTo", 0);
    SetDword(MenuItemsKey, "Extr", 5);
    SetDword(MenuItemsKey, "Test", 7);
    SetDword(MenuItemsKey, "Convert", 0xFFFFFFFF);
    ModalRun run(OpenSetupDialog);
    HWND setup = nullptr;
    HWND items = OpenItems(run, &setup);
    ASSERT_NE(items, nullptr);
    EXPECT_FALSE(IsChecked(items, 101));
    EXPECT_TRUE(IsChecked(items, 103));
    EXPECT_TRUE(IsChecked(items, 110));
    EXPECT_TRUE(IsChecked(items, 111));
    ASSERT_TRUE(Click(items, 102));  // off
    ASSERT_TRUE(Click(items, IDOK));
    ASSERT_TRUE(WaitUntilClosed(items, 5000));
    std::map<std::string, long long> expected = {
        {"ExtrTo", 0}, {"ExtrHere", 0}, {"Extr", 1},     {"ExtrSep", 1},  {"OpenSFX", 1}, {"AddTo", 1},
        {"AddArc", 1}, {"EmailArc", 1}, {"EmailOpt", 1}, {"Test", 1},     {"Convert", 1},
    };
    for (const auto& value : expected) {
        SCOPED_TRACE(value.first);
        EXPECT_EQ(StoredDword(MenuItemsKey, value.first.c_str()), value.second);
    }
    PressEscape(setup);
    ASSERT_TRUE(run.Wait());
}

// Cancel, Esc and the close box write nothing, and the setup dialog's boxes stay as they were.
TEST_F(ContextItemsTest, CancelWritesNothing) {
    const DialogExit cases[] = {
        {"Cancel", [](HWND items) { Click(items, IDCANCEL); }},
        {"Esc", PressEscape},
        {"close box", PressCloseBox},
    };
    for (const DialogExit& c : cases) {
        SCOPED_TRACE(c.Name);
        RegTreeDelete(HKEY_CURRENT_USER, SettingsKey);
        SetDword(MenuItemsKey, "Extr", 5);
        std::optional<RegTreeData> before = CaptureRegTree(HKEY_CURRENT_USER, SettingsKey);
        ModalRun run(OpenSetupDialog);
        HWND setup = nullptr;
        HWND items = OpenItems(run, &setup);
        ASSERT_NE(items, nullptr);
        ASSERT_TRUE(Click(items, 101));
        ASSERT_TRUE(Click(items, 111));
        std::vector<bool> setupBoxes;
        for (int id = 5101; id <= 5120; ++id) setupBoxes.push_back(IsChecked(setup, id));
        c.Press(items);
        ASSERT_TRUE(WaitUntilClosed(items, 5000));
        EXPECT_EQ(CaptureRegTree(HKEY_CURRENT_USER, SettingsKey), before) << DescribeRegTree(before);
        for (int id = 5101; id <= 5120; ++id) EXPECT_EQ(IsChecked(setup, id), setupBoxes[id - 5101]) << id;
        EXPECT_TRUE(IsWindowVisible(setup));
        PressEscape(setup);
        ASSERT_TRUE(run.Wait());
    }
}

// The items are saved by their own OK: cancelling the setup afterwards keeps them.
TEST_F(ContextItemsTest, ChoicesStayWhenTheSetupIsCancelledAfterwards) {
    ModalRun run(OpenSetupDialog);
    HWND setup = nullptr;
    HWND items = OpenItems(run, &setup);
    ASSERT_NE(items, nullptr);
    ASSERT_TRUE(Click(items, 101));
    ASSERT_TRUE(Click(items, 110));
    ASSERT_TRUE(Click(items, IDOK));
    ASSERT_TRUE(WaitUntilClosed(items, 5000));
    PressEscape(setup);
    ASSERT_TRUE(run.Wait());
    EXPECT_EQ(run.Result(), 0);
    EXPECT_TRUE(Calls.Steps.empty());
    EXPECT_EQ(StoredDword(MenuItemsKey, "ExtrTo"), 0);
    EXPECT_EQ(StoredDword(MenuItemsKey, "Test"), 1);
    // The setup's own choices were not saved.
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\Kolvex\\Setup\\.kvx"));
    EXPECT_EQ(StoredDword("Software\\Kolvex\\Setup", "ShellExt"), -1);
}

// The items dialog has a topic of its own; the setup dialog behind must not open its topic.
TEST_F(ContextItemsTest, HelpButtonAndF1OpenOnlyTheItemsTopic) {
    ModalRun run(OpenSetupDialog);
    HWND setup = nullptr;
    HWND items = OpenItems(run, &setup);
    ASSERT_NE(items, nullptr);
    ASSERT_TRUE(Click(items, IDHELP));
    ASSERT_TRUE(PressKey(items, VK_F1));
    Sleep(500);
    ASSERT_EQ(Calls.Help.size(), 2u);
    for (const setupuitest::HelpCall& call : Calls.Help) {
        EXPECT_EQ(call.Owner, items);
        EXPECT_EQ(call.File, "kolvex.hlp");
        EXPECT_EQ(call.Command, (UINT)HELP_CONTEXT);
        EXPECT_EQ(call.Data, 4976u);
    }
    EXPECT_TRUE(IsWindowVisible(items));
    PressEscape(items);
    ASSERT_TRUE(WaitUntilClosed(items, 5000));
    PressEscape(setup);
    ASSERT_TRUE(run.Wait());
}
}  // namespace
