// The completion dialog and the process starter behind its Run button.
#pragma once
#include <windows.h>

INT_PTR CALLBACK DoneDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Starts a command line in the given working directory (null: ours) and waits up to waitMs
// for its end (0: no wait). True when the process was started.
bool RunProgram(const char* commandLine, const char* workDir, DWORD waitMs);

// Opens a document or an address with the shell; ShellExecuteA in the program. Tests put
// their own routine here to see what the buttons open without starting a viewer.
using ShellOpenRoutine = HINSTANCE(WINAPI*)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                            LPCSTR directory, INT showCommand);
extern ShellOpenRoutine ShellOpen;
