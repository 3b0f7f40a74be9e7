// Driving dialogs in Wine tests: find a dialog by its caption or a control, read and click
// its controls, press keys, and run a modal dialog on a thread of its own.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace testenv {

// Which dialog to look for; zero or null fields match anything.
struct DialogQuery {
    DWORD ProcessId = 0;       // top-level dialogs of this process
    DWORD ThreadId = 0;        // or of this thread (used instead of ProcessId when set)
    const char* Caption = nullptr;  // UTF-8
    int CtrlId = 0;            // a control the dialog must have
    int WithoutCtrlId = 0;     // a control it must not have
};

// A visible dialog (class #32770) that matches, or null; WaitForDialog polls up to timeoutMs.
HWND FindDialog(const DialogQuery& query);
HWND WaitForDialog(const DialogQuery& query, DWORD timeoutMs);
// True when the window is gone (or hidden, as a dialog is once it has ended) in time.
bool WaitUntilClosed(HWND window, DWORD timeoutMs);

bool IsChecked(HWND dialog, int ctrlId);
bool IsEnabled(HWND dialog, int ctrlId);

// Clicks a button or check box as the mouse does and returns once the dialog has handled it.
// Use PostClick for a button that opens another modal dialog: its loop would hold us.
bool Click(HWND dialog, int ctrlId);
bool PostClick(HWND dialog, int ctrlId);
// Esc as the dialog's keyboard handling sees it, and the close box of the caption.
void PressEscape(HWND dialog);
void PressCloseBox(HWND dialog);

// One way of leaving a dialog, for tables of cases.
struct DialogExit {
    const char* Name;
    void (*Press)(HWND);
};
// Esc and the close box: the two ways the system itself cancels a dialog.
extern const DialogExit CancelExits[2];
// A real key press from the keyboard queue, to the dialog's focused control; the dialog is
// brought to the foreground first. Needed for F1, which only keyboard input turns into help.
bool PressKey(HWND dialog, WORD virtualKey);

// Opens a modal dialog on a thread of its own (the call given, e.g. DialogBoxParamA) so
// that the test thread can drive it. A run still open when the object goes has every
// dialog of its thread cancelled first, so that a failing test never hangs.
class ModalRun {
public:
    explicit ModalRun(std::function<INT_PTR()> open);
    ~ModalRun();
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;
    DWORD ThreadId() const { return threadId_; }
    // The first dialog of the run with the given control (0: any).
    HWND WaitForDialog(int ctrlId = 0, DWORD timeoutMs = 10000) const;
    // True when the dialog call has returned in time; Result() is then its value.
    bool Wait(DWORD timeoutMs = 10000);
    INT_PTR Result() const;
    struct State;
private:
    void CancelAll();
    // Shared with the dialog's thread, which may outlive a run that could not be ended.
    std::shared_ptr<State> state_;
    DWORD threadId_ = 0;
};

// Colour of one pixel of a window's client area, as it is on the screen.
COLORREF ClientPixel(HWND window, int x, int y);

}  // namespace testenv
