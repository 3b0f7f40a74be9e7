// The dialog in which the user picks the commands that the shell extension shows in
// Explorer's context menu.
#pragma once
#include <windows.h>

INT_PTR ShowContextItemsDialog(HWND owner);
INT_PTR CALLBACK ContextItemsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
