// Process start-up, the switches, the choice of flow and the process-wide values.
#pragma once
#include <windows.h>

extern bool SilentMode;
extern HICON AppIcon;
extern HFONT BoldDialogFont;
// Filled by the setup when it creates the program group; opened in Explorer afterwards.
extern char ProgramGroupPath[1024];

// Everything WinMain does; returns the exit code (always 0).
int AppMain(HINSTANCE instance, const char* commandLine);

// The notice that the program file must be deleted by hand.
void ShowWarningNotice();
