// Driving dialogs in Wine tests.
#include "common/dialogs_win.h"

#include <cstring>
#include <vector>

#include "common/testenv_win.h"

namespace testenv {
namespace {
bool IsDialogWindow(HWND window) {
    char className[32];
    return IsWindowVisible(window) && GetClassNameA(window, className, sizeof(className)) &&
           strcmp(className, "#32770") == 0;
}

bool Matches(HWND window, const DialogQuery& query) {
    if (!IsDialogWindow(window)) return false;
    if (!query.ThreadId && query.ProcessId) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != query.ProcessId) return false;
    }
    if (query.CtrlId && !GetDlgItem(window, query.CtrlId)) return false;
    if (query.WithoutCtrlId && GetDlgItem(window, query.WithoutCtrlId)) return false;
    if (query.Caption && WindowTextW(window) != Wide(query.Caption)) return false;
    return true;
}

struct Search {
    const DialogQuery* Query;
    HWND Found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    if (!Matches(window, *search->Query)) return TRUE;
    search->Found = window;
    return FALSE;
}

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    if (IsDialogWindow(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

DWORD WINAPI RunDialog(void* param);
void SendKey(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = (WORD)MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}
}  // namespace

struct ModalRun::State {
    std::function<INT_PTR()> Open;
    INT_PTR Result = -2;
    HANDLE Done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~State() { CloseHandle(Done); }
};

namespace {
DWORD WINAPI RunDialog(void* param) {
    std::shared_ptr<ModalRun::State>* held = static_cast<std::shared_ptr<ModalRun::State>*>(param);
    std::shared_ptr<ModalRun::State> state = *held;
    delete held;
    state->Result = state->Open();
    SetEvent(state->Done);
    return 0;
}
}  // namespace

HWND FindDialog(const DialogQuery& query) {
    Search search = {&query, nullptr};
    if (query.ThreadId) EnumThreadWindows(query.ThreadId, Visit, reinterpret_cast<LPARAM>(&search));
    else EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND WaitForDialog(const DialogQuery& query, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = FindDialog(query)) return found;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(30);
    }
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(30);
    }
    return true;
}

bool IsChecked(HWND dialog, int ctrlId) { return IsDlgButtonChecked(dialog, ctrlId) == BST_CHECKED; }

bool IsEnabled(HWND dialog, int ctrlId) {
    HWND item = GetDlgItem(dialog, ctrlId);
    return item && IsWindowEnabled(item);
}

bool Click(HWND dialog, int ctrlId) {
    HWND item = GetDlgItem(dialog, ctrlId);
    DWORD_PTR result = 0;
    return item && SendMessageTimeoutW(item, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

bool PostClick(HWND dialog, int ctrlId) {
    HWND item = GetDlgItem(dialog, ctrlId);
    return item && PostMessageW(item, BM_CLICK, 0, 0);
}

// The dialog's message loop hands a posted Esc to its keyboard handling like a typed one.
void PressEscape(HWND dialog) {
    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(dialog, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void PressCloseBox(HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool PressKey(HWND dialog, WORD virtualKey) {
    DWORD start = GetTickCount();
    while (GetForegroundWindow() != dialog) {
        SetForegroundWindow(dialog);
        if (GetTickCount() - start > 5000) return false;
        Sleep(30);
    }
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
    return true;
}

const DialogExit CancelExits[2] = {{"Esc", PressEscape}, {"close box", PressCloseBox}};

ModalRun::ModalRun(std::function<INT_PTR()> open) : state_(std::make_shared<State>()) {
    state_->Open = std::move(open);
    auto* held = new std::shared_ptr<State>(state_);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunDialog, held, 0, &id);
    if (!thread) {
        delete held;
        SetEvent(state_->Done);
        return;
    }
    CloseHandle(thread);
    threadId_ = id;
}

ModalRun::~ModalRun() {
    DWORD start = GetTickCount();
    while (!Wait(100) && GetTickCount() - start < 10000) CancelAll();
}

HWND ModalRun::WaitForDialog(int ctrlId, DWORD timeoutMs) const {
    DialogQuery query;
    query.ThreadId = threadId_;
    query.CtrlId = ctrlId;
    return testenv::WaitForDialog(query, timeoutMs);
}

bool ModalRun::Wait(DWORD timeoutMs) { return WaitForSingleObject(state_->Done, timeoutMs) == WAIT_OBJECT_0; }

INT_PTR ModalRun::Result() const { return state_->Result; }

void ModalRun::CancelAll() {
    std::vector<HWND> dialogs;
    if (threadId_) EnumThreadWindows(threadId_, Collect, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

}  // namespace testenv
