// Process start-up, the switches, the choice of flow and the process-wide values.
#pragma once
#include <windows.h>

#include "integration/installfile.h"

extern bool SilentMode;
extern HICON AppIcon;
extern HFONT BoldDialogFont;
// Filled by the setup when it creates the program group; opened in Explorer afterwards.
// Sized as the integration expects, since it writes there through a plain pointer.
extern char ProgramGroupPath[IntegrationPathSize];

// Everything WinMain does; returns the exit code (always 0).
int AppMain(HINSTANCE instance, const char* commandLine);

// The notice that the program file must be deleted by hand.
void ShowWarningNotice();
