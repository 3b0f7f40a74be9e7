// The setup dialog.
#pragma once
#include <windows.h>

INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
