// The setup dialog.
#pragma once
#include <windows.h>

#include "setupui/options.h"

INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What OK does with the choices read from the check boxes, in this order: save them, apply
// the integration (filling the program group path), write the uninstall registration.
// The program keeps the real steps; tests put recorders here to watch the order without
// changing the system.
struct SetupConfirmSteps {
    void (*Save)(const SetupOptions& options);
    void (*Apply)(const SetupOptions& options, char* programGroupPath);
    void (*Register)();
};
extern SetupConfirmSteps ConfirmSteps;
