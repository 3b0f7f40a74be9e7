// The setup choices: defaults, the saved settings, the JAR and ISO ownership rule, and the
// check boxes of the real setup dialog template.
#include "setupui/options.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"
#include "registry/regaccess.h"
#include "resources/resource.h"

namespace {

const char* const FormatKeys[] = {".kvx", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                                  ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};

struct OtherChoice { int Slot; const char* Key; const char* Value; DWORD Default; int Box; };
const OtherChoice OtherChoices[] = {
    {20, "Software\\Kolvex\\Setup\\Links", "Desktop", 0, 5115},
    {21, "Software\\Kolvex\\Setup\\Links", "StartMenu", 0, 5116},
    {22, "Software\\Kolvex\\Setup\\Links", "Programs", 1, 5117},
    {23, "Software\\Kolvex\\Setup", "ShellExt", 1, 5118},
    {24, "Software\\Kolvex\\Setup", "CascadedMenu", 0, 5119},
    {25, "Software\\Kolvex\\Setup", "MenuIcons", 1, 5120},
};

std::string FormatKey(int slot) { return std::string("Software\\Kolvex\\Setup\\") + FormatKeys[slot]; }

void SetClass(const char* ext, const char* className) {
    testenv::RemoveRegTree(HKEY_CLASSES_ROOT, ext);
    if (className) SetRegString(HKEY_CLASSES_ROOT, ext, "", className);
}

void SaveRaw(const std::string& key, const char* value, DWORD data) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, value, 0, REG_DWORD, (const BYTE*)&data, sizeof(data));
    RegCloseKey(k);
}

// A record whose unused slots hold a marker, to see that nothing writes them.
SetupOptions Marked() {
    SetupOptions options;
    memset(options.Slots, 0xAA, sizeof(options.Slots));
    return options;
}

class OptionsTest : public testing::Test {
protected:
    void SetUp() override {
        keeper_.Keep(HKEY_CURRENT_USER, "Software\\Kolvex");
        for (const char* ext : {".jar", ".iso", ".tar"}) keeper_.Keep(HKEY_CLASSES_ROOT, ext);
        testenv::RemoveRegTree(HKEY_CURRENT_USER, "Software\\Kolvex");
        for (const char* ext : {".jar", ".iso", ".tar"}) testenv::RemoveRegTree(HKEY_CLASSES_ROOT, ext);
    }
    void TearDown() override { keeper_.Restore(); }
    testenv::RegKeeper keeper_;
};

TEST_F(OptionsTest, DefaultsWithNoSavedSettings) {
    SetupOptions options = Marked();
    LoadSetupOptions(options);
    for (int slot = 0; slot < 14; ++slot) EXPECT_EQ(options[slot], 1) << slot;
    for (int slot = 14; slot < 20; ++slot) EXPECT_EQ(options[slot], 0xAA) << slot;
    for (const OtherChoice& c : OtherChoices) EXPECT_EQ(options[c.Slot], c.Default) << c.Value;
    // Loading reads only.
    EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CURRENT_USER, "Software\\Kolvex"));
}

// JAR and ISO are proposed only when no other program owns the extension; the other formats
// keep what was saved whoever owns them.
TEST_F(OptionsTest, JarAndIsoFollowTheirOwner) {
    const DWORD Missing = 0xFFFFFFFF;
    struct Case { DWORD Saved; const char* Class; int Loaded; };
    const Case cases[] = {
        {Missing, nullptr, 1},
        {Missing, "Other.App", 0},
        {1, "Other.App", 0},
        {2, "Other.App", 0},
        {1, nullptr, 1},
        {1, "", 1},                // a key with an empty class: nobody owns it
        {0, nullptr, 0},
        {0, "Kolvex", 0},
        {1, "Kolvex", 1},
        {1, "kOLVEX.zip", 1},      // ours in any letter case
        {Missing, "KOLVEX", 1},
        {1, "Kolvex.REV", 0},      // the recovery volume class is not an archive class
    };
    for (int slot : {11, 12}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << FormatKeys[slot] << " saved " << (int)c.Saved << " class "
                                            << (c.Class ? c.Class : "(no key)"));
            testenv::RemoveRegTree(HKEY_CURRENT_USER, "Software\\Kolvex");
            if (c.Saved != Missing) SaveRaw(FormatKey(slot), "Set", c.Saved);
            SetClass(FormatKeys[slot], c.Class);
            SetupOptions options;
            LoadSetupOptions(options);
            EXPECT_EQ(options[slot], c.Loaded);
        }
    }
    SaveRaw(FormatKey(7), "Set", 1);
    SetClass(".tar", "Other.Tar");
    SetupOptions options;
    LoadSetupOptions(options);
    EXPECT_EQ(options[7], 1);
}

TEST_F(OptionsTest, AnyNonZeroLoadsAsOnAndIsSavedBackAsOne) {
    SaveRaw(FormatKey(7), "Set", 2);
    SaveRaw("Software\\Kolvex\\Setup", "MenuIcons", 0x100);
    SetupOptions options;
    LoadSetupOptions(options);
    EXPECT_EQ(options[7], 1);
    EXPECT_EQ(options[25], 1);
    SaveSetupOptions(options);
    DWORD value = 0;
    EXPECT_TRUE(testenv::RegReadDword(HKEY_CURRENT_USER, FormatKey(7).c_str(), "Set", &value));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(testenv::RegReadDword(HKEY_CURRENT_USER, "Software\\Kolvex\\Setup", "MenuIcons", &value));
    EXPECT_EQ(value, 1u);
}

// Every choice, the ISO choice too, is saved as a REG_DWORD 0 or 1 under its own value and
// loads back unchanged; two opposite patterns show each value both ways.
TEST_F(OptionsTest, SaveWritesEveryChoiceAndLoadsItBack) {
    for (int pattern = 0; pattern < 2; ++pattern) {
        SCOPED_TRACE(pattern);
        testenv::RemoveRegTree(HKEY_CURRENT_USER, "Software\\Kolvex");
        SetupOptions saved;
        for (int slot = 0; slot < 26; ++slot) saved[slot] = (slot + pattern) % 2;
        SaveSetupOptions(saved);
        for (int slot = 0; slot < 14; ++slot) {
            DWORD value = 99;
            EXPECT_TRUE(testenv::RegReadDword(HKEY_CURRENT_USER, FormatKey(slot).c_str(), "Set", &value)) << slot;
            EXPECT_EQ(value, saved[slot]) << slot;
        }
        for (const OtherChoice& c : OtherChoices) {
            DWORD value = 99;
            EXPECT_TRUE(testenv::RegReadDword(HKEY_CURRENT_USER, c.Key, c.Value, &value)) << c.Value;
            EXPECT_EQ(value, saved[c.Slot]) << c.Value;
        }
        SetupOptions loaded;
        LoadSetupOptions(loaded);
        for (int slot = 0; slot < 26; ++slot) {
            if (slot >= 14 && slot < 20) continue;
            EXPECT_EQ(loaded[slot], saved[slot]) << slot;
        }
    }
}

// The ISO choice survives: switched off once, it stays off in the next setup.
TEST_F(OptionsTest, IsoChoiceIsKept) {
    SetupOptions options;
    LoadSetupOptions(options);
    ASSERT_EQ(options[12], 1);
    options[12] = 0;
    SaveSetupOptions(options);
    SetupOptions next;
    LoadSetupOptions(next);
    EXPECT_EQ(next[12], 0);
}

// The real setup dialog template, taken from the program file; its explanation is a rich
// edit control, whose library must be loaded before the dialog is created.
class SetupDialog {
public:
    SetupDialog() {
        richEdit_ = LoadLibraryA("riched32.dll");
        module_ = LoadLibraryExA(testenv::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module_) dialog_ = CreateDialogParamA(module_, "SETUPDLG", nullptr, Proc, 0);
    }
    ~SetupDialog() {
        if (dialog_) DestroyWindow(dialog_);
        if (module_) FreeLibrary(module_);
        if (richEdit_) FreeLibrary(richEdit_);
    }
    SetupDialog(const SetupDialog&) = delete;
    SetupDialog& operator=(const SetupDialog&) = delete;
    HWND Get() const { return dialog_; }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog_, id)) != 0; }
private:
    static INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
    HMODULE richEdit_ = nullptr;
    HMODULE module_ = nullptr;
    HWND dialog_ = nullptr;
};

int BoxOf(int slot) { return slot < 14 ? 5101 + slot : 5115 + (slot - 20); }

TEST(OptionsDialog, BoxesShowAndGiveBackEachSlot) {
    SetupDialog dialog;
    ASSERT_NE(dialog.Get(), nullptr);
    for (int pattern = 0; pattern < 2; ++pattern) {
        SCOPED_TRACE(pattern);
        SetupOptions shown;
        for (int slot = 0; slot < 26; ++slot) shown[slot] = (slot / 2 + pattern) % 2;
        shown[23] = 1;
        SetOptionsToDialog(dialog.Get(), shown);
        for (int slot = 0; slot < 26; ++slot) {
            if (slot >= 14 && slot < 20) continue;
            EXPECT_EQ(dialog.Checked(BoxOf(slot)), shown[slot] == 1) << slot;
        }
        SetupOptions read = Marked();
        GetOptionsFromDialog(dialog.Get(), read);
        for (int slot = 0; slot < 26; ++slot) {
            EXPECT_EQ(read[slot], slot >= 14 && slot < 20 ? 0xAA : shown[slot]) << slot;
        }
    }
}

// With shell integration off the two menu boxes are disabled but keep, show and give back
// their own states; the rule follows the record, not the shell integration box.
TEST(OptionsDialog, ShellMenuBoxesFollowShellIntegration) {
    SetupDialog dialog;
    ASSERT_NE(dialog.Get(), nullptr);
    SetupOptions options;
    options[24] = 1;
    options[25] = 0;
    SetOptionsToDialog(dialog.Get(), options);
    EXPECT_FALSE(dialog.Enabled(IDC_CASCADED_MENUS));
    EXPECT_FALSE(dialog.Enabled(IDC_MENU_ICONS));
    EXPECT_TRUE(dialog.Checked(IDC_CASCADED_MENUS));
    EXPECT_FALSE(dialog.Checked(IDC_MENU_ICONS));
    SetupOptions read;
    GetOptionsFromDialog(dialog.Get(), read);
    EXPECT_EQ(read[24], 1);
    EXPECT_EQ(read[25], 0);

    options[23] = 1;
    SetOptionsToDialog(dialog.Get(), options);
    EXPECT_TRUE(dialog.Enabled(IDC_CASCADED_MENUS));
    EXPECT_TRUE(dialog.Enabled(IDC_MENU_ICONS));
    EXPECT_TRUE(dialog.Checked(IDC_CASCADED_MENUS));

    EnableDlgItem(dialog.Get(), IDC_MENU_ICONS, false);
    EXPECT_FALSE(dialog.Enabled(IDC_MENU_ICONS));
    EXPECT_TRUE(dialog.Enabled(IDC_CASCADED_MENUS));
}

// Select-all checks the fourteen format boxes and touches nothing else.
TEST(OptionsDialog, CheckAllFormatsTouchesOnlyTheFormatBoxes) {
    SetupDialog dialog;
    ASSERT_NE(dialog.Get(), nullptr);
    SetupOptions options;
    options[20] = 1;
    options[22] = 1;
    options[25] = 1;
    options[SlotKvx] = 1;
    SetOptionsToDialog(dialog.Get(), options);
    CheckAllFormats(dialog.Get());
    for (int id = IDC_FORMAT_KVX; id <= IDC_FORMAT_Z; ++id) EXPECT_TRUE(dialog.Checked(id)) << id;
    for (const OtherChoice& c : OtherChoices) EXPECT_EQ(dialog.Checked(c.Box), options[c.Slot] == 1) << c.Box;
    EXPECT_FALSE(dialog.Enabled(IDC_CASCADED_MENUS));
    EXPECT_FALSE(dialog.Enabled(IDC_MENU_ICONS));
    EXPECT_TRUE(dialog.Enabled(IDC_SHELL_INTEGRATION));
}

}  // namespace
