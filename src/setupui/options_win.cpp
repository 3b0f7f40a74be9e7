// Loading and saving the setup choices, and showing them in the setup dialog.
#include "setupui/options.h"

#include <windows.h>

#include <iterator>

#include "integration/associations.h"
#include "integration/exttable.h"
#include "registry/regaccess.h"
#include "resources/resource.h"
#include "support/pathutil.h"

namespace {

// The format check boxes, in slot order (slot = row).
const int FormatBoxes[] = {
    IDC_FORMAT_KVX, IDC_FORMAT_ZIP, IDC_FORMAT_CAB,  IDC_FORMAT_ARJ, IDC_FORMAT_LZH,
    IDC_FORMAT_ACE, IDC_FORMAT_7Z,  IDC_FORMAT_TAR,  IDC_FORMAT_GZIP, IDC_FORMAT_UUE,
    IDC_FORMAT_BZ2, IDC_FORMAT_JAR, IDC_FORMAT_ISO,  IDC_FORMAT_Z,
};
static_assert(std::size(FormatBoxes) == FormatSlots, "one check box per format");

// The other choices: where each is saved, its value when nothing is saved, and its box.
struct SavedChoice {
    int Slot;
    const char* KeyPath;
    const char* ValueName;
    DWORD DefaultValue;
    int CtrlId;
};
const SavedChoice SavedChoices[] = {
    {SlotDesktopLink, "Setup\\Links", "Desktop", 0, IDC_LINK_DESKTOP},
    {SlotStartMenuLink, "Setup\\Links", "StartMenu", 0, IDC_LINK_START_MENU},
    {SlotProgramGroup, "Setup\\Links", "Programs", 1, IDC_PROGRAM_GROUP},
    {SlotShellIntegration, "Setup", "ShellExt", 1, IDC_SHELL_INTEGRATION},
    {SlotCascadedMenus, "Setup", "CascadedMenu", 0, IDC_CASCADED_MENUS},
    {SlotMenuIcons, "Setup", "MenuIcons", 1, IDC_MENU_ICONS},
};

// Each format's choice is the value "Set" under Setup\<first extension>.
bool FormatKey(int slot, char (&key)[RegPathBufferSize], char (&ext)[MaxExtensionSize]) {
    return FirstExtension(slot, ext) && FormatWhole(key, "Setup\\%s", ext);
}

// JAR and ISO files are often opened by other programs (a Java runtime, a disc burner); the
// setup does not propose to take them from such an owner, whatever was saved.
bool OwnerDecides(int slot) { return slot == SlotJar || slot == SlotIso; }

bool OwnedByAnother(const char* ext) {
    if (IsOurExtension(ext)) return false;
    char className[80];
    GetRegString(HKEY_CLASSES_ROOT, ext, "", className, "");
    return className[0] != 0;
}

unsigned char LoadFormatChoice(int slot) {
    char key[RegPathBufferSize];
    char ext[MaxExtensionSize];
    if (!FormatKey(slot, key, ext)) return 1;
    bool on = GetUserDword(key, "Set", 1) != 0;
    if (on && OwnerDecides(slot) && OwnedByAnother(ext)) on = false;
    return on ? 1 : 0;
}

}  // namespace

// Any non-zero saved value means on; slots 14-19 are left as the caller has them.
void LoadSetupOptions(SetupOptions& options) {
    for (int slot = 0; slot < FormatSlots; ++slot) options[slot] = LoadFormatChoice(slot);
    for (const SavedChoice& choice : SavedChoices)
        options[choice.Slot] = GetUserDword(choice.KeyPath, choice.ValueName, choice.DefaultValue) != 0;
}

// Every choice is saved as 0 or 1, the ISO choice included, so that it survives the next setup.
void SaveSetupOptions(const SetupOptions& options) {
    for (int slot = 0; slot < FormatSlots; ++slot) {
        char key[RegPathBufferSize];
        char ext[MaxExtensionSize];
        if (FormatKey(slot, key, ext)) SetUserDword(key, "Set", options[slot] != 0);
    }
    for (const SavedChoice& choice : SavedChoices)
        SetUserDword(choice.KeyPath, choice.ValueName, options[choice.Slot] != 0);
}

// A disabled box is read as well: the two shell menu choices are saved even while shell
// integration is off.
void GetOptionsFromDialog(HWND dialog, SetupOptions& options) {
    for (int slot = 0; slot < FormatSlots; ++slot)
        options[slot] = IsDlgButtonChecked(dialog, FormatBoxes[slot]) != 0;
    for (const SavedChoice& choice : SavedChoices)
        options[choice.Slot] = IsDlgButtonChecked(dialog, choice.CtrlId) != 0;
}

// The two shell menu boxes follow the shell integration slot of the record, not its box.
void SetOptionsToDialog(HWND dialog, const SetupOptions& options) {
    for (int slot = 0; slot < FormatSlots; ++slot)
        CheckDlgButton(dialog, FormatBoxes[slot], options[slot] ? BST_CHECKED : BST_UNCHECKED);
    for (const SavedChoice& choice : SavedChoices)
        CheckDlgButton(dialog, choice.CtrlId, options[choice.Slot] ? BST_CHECKED : BST_UNCHECKED);
    bool shell = options[SlotShellIntegration] != 0;
    EnableDlgItem(dialog, IDC_CASCADED_MENUS, shell);
    EnableDlgItem(dialog, IDC_MENU_ICONS, shell);
}

void CheckAllFormats(HWND dialog) {
    for (int ctrlId : FormatBoxes) CheckDlgButton(dialog, ctrlId, BST_CHECKED);
}

void EnableDlgItem(HWND dialog, int ctrlId, bool enable) {
    HWND item = GetDlgItem(dialog, ctrlId);
    if (item) EnableWindow(item, enable);
}
