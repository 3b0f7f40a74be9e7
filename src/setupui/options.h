// The record of the user's setup choices, its saved form under the settings key, and the
// functions that move it between the saved settings and the setup dialog's check boxes.
#pragma once
#include <cstddef>

// Declared here without <windows.h>, so that platform-free code can use the record; with
// STRICT, which every build defines, this is the HWND of the dialog functions.
struct HWND__;

constexpr int SetupOptionSlots = 26;
constexpr int FormatSlots = 14;

// Slot numbers, shared by everything that reads the record. Slots 14-19 carry no choice.
enum OptionSlot : int {
    SlotKvx = 0,
    SlotZip,
    SlotCab,
    SlotArj,
    SlotLzh,
    SlotAce,
    Slot7z,
    SlotTar,
    SlotGzip,
    SlotUue,
    SlotBz2,
    SlotJar,
    SlotIso,
    SlotZ,
    SlotDesktopLink = 20,
    SlotStartMenuLink,
    SlotProgramGroup,
    SlotShellIntegration,
    SlotCascadedMenus,
    SlotMenuIcons,
};

// One byte per slot, 0 (off) or 1 (on). A value-initialised record has every choice off,
// which is what the uninstaller hands to the integration code to remove everything.
struct SetupOptions {
    unsigned char Slots[SetupOptionSlots] = {};
    unsigned char& operator[](int slot) { return Slots[slot]; }
    unsigned char operator[](int slot) const { return Slots[slot]; }
};

void LoadSetupOptions(SetupOptions& options);
void SaveSetupOptions(const SetupOptions& options);

void GetOptionsFromDialog(HWND__* dialog, SetupOptions& options);
void SetOptionsToDialog(HWND__* dialog, const SetupOptions& options);
void CheckAllFormats(HWND__* dialog);
void EnableDlgItem(HWND__* dialog, int ctrlId, bool enable);
