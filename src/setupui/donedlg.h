// The completion dialog.
#pragma once
#include <windows.h>

INT_PTR CALLBACK DoneDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
