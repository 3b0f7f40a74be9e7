// The completion dialog.
#include "setupui/donedlg.h"

INT_PTR CALLBACK DoneDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return FALSE;
}
