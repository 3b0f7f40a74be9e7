// The setup dialog.
#include "setupui/setupdlg.h"

INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return FALSE;
}
