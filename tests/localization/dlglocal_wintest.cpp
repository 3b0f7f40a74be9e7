// Dialogs opened for real: translated texts, rescaling, mirroring and help requests.
#include "localization/dlglocal.h"

#include <commctrl.h>
#include <prsht.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/testenv_win.h"
#include "localization/langfile_maker.h"
#include "localization/langres.h"

using namespace testenv;
using langtest::DialogKey;
using langtest::Entry;

namespace {
// What the dialog procedure passes on, set by each test before it opens a dialog.
struct DialogSetup {
    const char* Name = "SETUPDLG";
    int HelpContext = SetupHelpContext;
    bool PropertyPage = false;
};
DialogSetup Current;

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CommonDialogMessage(dialog, message, wParam, lParam, Current.Name, Current.HelpContext,
                        Current.PropertyPage);
    return message == WM_INITDIALOG;
}

struct HelpCall {
    HWND Owner;
    std::string File;
    UINT Command;
    ULONG_PTR Data;
};
std::vector<HelpCall> HelpCalls;

BOOL WINAPI RecordHelp(HWND owner, LPCSTR file, UINT command, ULONG_PTR data) {
    HelpCalls.push_back({owner, file ? file : "", command, data});
    return TRUE;
}

std::string Text(HWND window) {
    char text[1024];
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

RECT ScreenRectOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    return children;
}

bool IsDropDownCombo(HWND control) {
    char name[64];
    GetClassNameA(control, name, sizeof(name));
    return lstrcmpiA(name, "COMBOBOX") == 0 && (GetWindowLongA(control, GWL_STYLE) & 3) != CBS_SIMPLE;
}

// Everything the localization may change in a dialog, by control id.
struct Snapshot {
    RECT window;
    RECT client;
    std::string title;
    std::map<int, RECT> controls;  // screen coordinates
    std::map<int, RECT> dropped;   // drop-down combo boxes
    std::map<int, std::string> texts;
};

Snapshot Take(HWND dialog) {
    Snapshot s;
    s.window = ScreenRectOf(dialog);
    GetClientRect(dialog, &s.client);
    s.title = Text(dialog);
    for (HWND c : Children(dialog)) {
        int id = GetDlgCtrlID(c);
        s.controls[id] = ScreenRectOf(c);
        s.texts[id] = Text(c);
        if (IsDropDownCombo(c)) {
            RECT d;
            SendMessageA(c, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&d);
            s.dropped[id] = d;
        }
    }
    return s;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void PumpMessages(HWND dialog, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!dialog || !IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(10);
    }
}

class DialogTest : public testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA((FixtureDir() + "\\langdlg.dll").c_str());
        ASSERT_NE(library_, nullptr);
        Current = DialogSetup{};
        Language.Clear();
        HelpCalls.clear();
        savedHelp_ = OpenHelp;
        OpenHelp = RecordHelp;
    }
    void TearDown() override {
        for (HWND w : windows_) DestroyWindow(w);
        OpenHelp = savedHelp_;
        Language.Clear();
        if (library_) FreeLibrary(library_);
    }
    void UseLanguage(const std::string& entries) { langtest::Load(Language, langtest::File(entries)); }
    HWND Open(const char* templateName = "TESTDLG") {
        HWND dialog = CreateDialogParamA(library_, templateName, nullptr, TestDialogProc, 0);
        EXPECT_NE(dialog, nullptr);
        if (dialog) windows_.push_back(dialog);
        return dialog;
    }
    // The dialog as its template makes it, before any language file is loaded.
    Snapshot Unlocalized(const char* templateName = "TESTDLG") {
        Language.Clear();
        HWND dialog = CreateDialogParamA(library_, templateName, nullptr, TestDialogProc, 0);
        Snapshot s = Take(dialog);
        DestroyWindow(dialog);
        return s;
    }

    HMODULE library_ = nullptr;
    HelpRoutine savedHelp_ = nullptr;
    std::vector<HWND> windows_;
};

TEST_F(DialogTest, TitleAndControlTextsAreTranslatedOnOpening) {
    Snapshot before = Unlocalized();
    UseLanguage(Entry(DialogKey("SETUPDLG", "Test title"), "Titre d'essai") +
                Entry(DialogKey("SETUPDLG", "First label"), "Premier") +
                Entry(DialogKey("SETUPDLG", "&Check me"), "&Cochez") +
                Entry(DialogKey("DONEDLG", "OK"), "Bien") +       // another dialog's entry
                Entry(DialogKey("SETUPDLG", ""), "100*100"));    // must not fill empty controls
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog), "Titre d'essai");
    EXPECT_EQ(Text(GetDlgItem(dialog, 101)), "Premier");
    EXPECT_EQ(Text(GetDlgItem(dialog, 102)), "&Cochez");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDOK)), "OK");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDHELP)), "Help");
    EXPECT_EQ(Text(GetDlgItem(dialog, 105)), "");
    Snapshot after = Take(dialog);
    EXPECT_TRUE(SameRect(after.window, before.window));
}

TEST_F(DialogTest, EmptyTitleGetsTheTranslationOfTheEmptyText) {
    UseLanguage(Entry(DialogKey("SETUPDLG", ""), "90*90"));
    HWND dialog = Open("NOTITLE");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog), "90*90");
}

// With 120*110 the dialog grows from its top-left corner, and every control moves and
// grows by the same factors, measured from the dialog as its template made it.
TEST_F(DialogTest, ScaleEntryResizesTheDialogAndItsControls) {
    const int X = 120, Y = 110;
    Snapshot before = Unlocalized();
    const RECT& w = before.window;
    int frameWidth = (w.right - w.left + 1) - before.client.right;
    int frameHeight = (w.bottom - w.top + 1) - before.client.bottom;
    int captionOffset = frameHeight - GetSystemMetrics(SM_CYDLGFRAME);

    UseLanguage(Entry(DialogKey("SETUPDLG", ""), "120*110"));
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Snapshot after = Take(dialog);
    EXPECT_EQ(after.window.left, w.left);
    EXPECT_EQ(after.window.top, w.top);
    EXPECT_EQ(after.window.right - after.window.left, before.client.right * X / 100 + frameWidth);
    EXPECT_EQ(after.window.bottom - after.window.top, before.client.bottom * Y / 100 + frameHeight);

    ASSERT_EQ(after.controls.size(), before.controls.size());
    for (const auto& [id, r] : before.controls) {
        SCOPED_TRACE(testing::Message() << "control " << id);
        int x = (r.left - w.left - frameWidth / 2) * X / 100;
        int y = (r.top - w.top - captionOffset) * Y / 100;
        int width = (r.right - r.left + 1) * X / 100;
        int height = (r.bottom - r.top + 1) * Y / 100;
        RECT now = after.controls[id];
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&now), 2);
        EXPECT_EQ(now.left, x);
        EXPECT_EQ(now.top, y);
        EXPECT_EQ(now.right - now.left, width);
        if (before.dropped.count(id)) {
            // A drop-down combo box asks for the height of its field and its list together.
            // Wine reports the list alone as the dropped-down rectangle, and the list gets
            // what the requested height leaves below the field.
            const RECT& d = before.dropped.at(id);
            int total = height + (d.bottom - d.top + 1) * Y / 100;
            const RECT& dNow = after.dropped[id];
            EXPECT_EQ((now.bottom - now.top) + (dNow.bottom - dNow.top), total);
        } else {
            EXPECT_EQ(now.bottom - now.top, height);
        }
    }
}

TEST_F(DialogTest, UnscaledEntriesMoveNothing) {
    Snapshot before = Unlocalized();
    struct Case { const char* Name; std::string Entries; };
    const Case cases[] = {
        {"100*100", Entry(DialogKey("SETUPDLG", ""), "100*100")},
        {"no asterisk", Entry(DialogKey("SETUPDLG", ""), "120")},
        {"no entry", Entry(DialogKey("DONEDLG", ""), "150*150")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        UseLanguage(c.Entries + Entry(DialogKey("SETUPDLG", "First label"), "Premier"));
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        Snapshot after = Take(dialog);
        EXPECT_TRUE(SameRect(after.window, before.window));
        EXPECT_TRUE(SameRect(after.client, before.client));
        for (const auto& [id, r] : before.controls) {
            SCOPED_TRACE(testing::Message() << "control " << id);
            EXPECT_TRUE(SameRect(after.controls[id], r));
        }
        EXPECT_EQ(after.texts[101], "Premier");
    }
}

TEST_F(DialogTest, MirroredOnlyForRightToLeftLanguages) {
    for (bool rightToLeft : {false, true}) {
        SCOPED_TRACE(rightToLeft);
        UseLanguage("");
        Language.rightToLeft = rightToLeft;
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        LONG style = GetWindowLongA(dialog, GWL_EXSTYLE);
        EXPECT_EQ((style & WS_EX_LAYOUTRTL) != 0, rightToLeft);
        // Controls made after the dialog was mirrored inherit its layout.
        LONG child = GetWindowLongA(GetDlgItem(dialog, 101), GWL_EXSTYLE);
        EXPECT_EQ((child & WS_EX_LAYOUTRTL) != 0, rightToLeft);
    }
}

// Rescaling a mirrored dialog gives the mirror image of the rescaled dialog: each control
// is as far from the right edge as it is from the left edge without mirroring.
TEST_F(DialogTest, ScalingAMirroredDialogKeepsItMirrored) {
    std::map<int, RECT> fromEdge[2];
    for (bool rightToLeft : {false, true}) {
        UseLanguage(Entry(DialogKey("SETUPDLG", ""), "120*110"));
        Language.rightToLeft = rightToLeft;
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        POINT origin = {0, 0};
        ClientToScreen(dialog, &origin);  // the client area's leading corner
        RECT client;
        GetClientRect(dialog, &client);
        for (HWND c : Children(dialog)) {
            RECT r = ScreenRectOf(c);
            // Offsets from the client area's leading edge: left without mirroring, right with it.
            int lead = rightToLeft ? origin.x - r.right : r.left - origin.x;
            fromEdge[rightToLeft][GetDlgCtrlID(c)] = {lead, r.top - origin.y, r.right - r.left, r.bottom - r.top};
        }
    }
    ASSERT_FALSE(fromEdge[0].empty());
    for (const auto& [id, ltr] : fromEdge[0]) {
        SCOPED_TRACE(testing::Message() << "control " << id);
        const RECT& rtl = fromEdge[1][id];
        EXPECT_EQ(rtl.left, ltr.left);
        EXPECT_EQ(rtl.top, ltr.top);
        EXPECT_EQ(rtl.right, ltr.right);
    }
}

TEST_F(DialogTest, HelpButtonAndHelpMessage) {
    struct Case { const char* Name; int Context; bool Opens; };
    const Case cases[] = {
        {"SETUPDLG", SetupHelpContext, true},
        {"CONTEXTITEMS", ContextItemsHelpContext, true},
        {"DONEDLG", NoHelpContext, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Current.Name = c.Name;
        Current.HelpContext = c.Context;
        HelpCalls.clear();
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        SendMessageA(GetDlgItem(dialog, IDHELP), BM_CLICK, 0, 0);
        HELPINFO info = {};
        info.cbSize = sizeof(info);
        SendMessageA(dialog, WM_HELP, 0, (LPARAM)&info);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // not a help request
        ASSERT_EQ(HelpCalls.size(), c.Opens ? 2u : 0u);
        for (const HelpCall& call : HelpCalls) {
            EXPECT_EQ(call.Owner, dialog);
            EXPECT_EQ(call.File, "kolvex.hlp");
            EXPECT_EQ(call.Command, (UINT)HELP_CONTEXT);
            EXPECT_EQ(call.Data, (ULONG_PTR)c.Context);
        }
    }
}

// F1 pressed on a control of a shown dialog: the system turns it into WM_HELP.
TEST_F(DialogTest, F1Key) {
    for (bool hasHelp : {true, false}) {
        SCOPED_TRACE(hasHelp);
        Current.Name = hasHelp ? "SETUPDLG" : "DONEDLG";
        Current.HelpContext = hasHelp ? SetupHelpContext : NoHelpContext;
        HelpCalls.clear();
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        SetFocus(GetDlgItem(dialog, 102));
        PumpMessages(dialog, 200);
        keybd_event(VK_F1, 0, 0, 0);
        keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
        PumpMessages(dialog, 500);
        if (hasHelp) {
            ASSERT_EQ(HelpCalls.size(), 1u);
            EXPECT_EQ(HelpCalls[0].File, "kolvex.hlp");
            EXPECT_EQ(HelpCalls[0].Data, (ULONG_PTR)SetupHelpContext);
        } else {
            EXPECT_TRUE(HelpCalls.empty());
        }
        DestroyWindow(dialog);
        windows_.pop_back();
    }
}

// A dialog template in memory: one static control per text.
std::vector<WORD> StaticsTemplate(const std::vector<std::wstring>& texts) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2, 0);
    DLGTEMPLATE* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
    header->style = WS_POPUP | WS_CAPTION;
    header->cdit = (WORD)texts.size();
    header->cx = 100;
    header->cy = 100;
    t.insert(t.end(), {0, 0, 0});  // no menu, default class, empty title
    for (size_t i = 0; i < texts.size(); ++i) {
        if (t.size() % 2) t.push_back(0);  // items start on a DWORD
        size_t at = t.size();
        t.resize(at + sizeof(DLGITEMTEMPLATE) / 2);
        DLGITEMTEMPLATE* item = reinterpret_cast<DLGITEMTEMPLATE*>(&t[at]);
        item->style = WS_CHILD | WS_VISIBLE;
        item->cx = 10;
        item->cy = 10;
        item->id = (WORD)(1000 + i);
        t.insert(t.end(), {0xFFFF, 0x0082});  // a static control
        t.insert(t.end(), texts[i].begin(), texts[i].end());
        t.insert(t.end(), {0, 0});  // end of text, no creation data
    }
    return t;
}

HWND OpenFromTemplate(std::vector<WORD>& t) {
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()),
                                      nullptr, TestDialogProc, 0);
}

// Only the first 512 children are translated; the rest keep their text.
TEST_F(DialogTest, AtMost512ControlsAreLocalized) {
    const size_t controls = 600;
    std::vector<WORD> t = StaticsTemplate(std::vector<std::wstring>(controls, L"item"));
    UseLanguage(Entry(DialogKey("SETUPDLG", "item"), "done"));
    HWND dialog = OpenFromTemplate(t);
    ASSERT_NE(dialog, nullptr);
    windows_.push_back(dialog);
    int translated = 0;
    for (HWND c : Children(dialog)) translated += Text(c) == "done";
    EXPECT_EQ(Children(dialog).size(), controls);
    EXPECT_EQ(translated, 512);
}

// A text too long for the translation buffer is left whole rather than cut.
TEST_F(DialogTest, TextLongerThanTheBufferIsKept) {
    const std::wstring longText(1500, L'a');
    std::vector<WORD> t = StaticsTemplate({L"item", longText});
    UseLanguage(Entry(DialogKey("SETUPDLG", "item"), "done"));
    HWND dialog = OpenFromTemplate(t);
    ASSERT_NE(dialog, nullptr);
    windows_.push_back(dialog);
    EXPECT_EQ(Text(GetDlgItem(dialog, 1000)), "done");
    EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog, 1001)), 1500);
}

// A property page: the sheet and its tabs are mirrored with it, the page keeps its size
// while its controls scale, and the sheet's Help button reaches the help file.
class PropertyPageTest : public DialogTest {
protected:
    HWND OpenSheet() {
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof(page);
        page.dwFlags = PSP_HASHELP;
        page.hInstance = library_;
        page.pszTemplate = "TESTPAGE";
        page.pfnDlgProc = TestDialogProc;
        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_HASHELP | PSH_NOAPPLYNOW;
        header.pszCaption = "Sheet title";
        header.nPages = 1;
        header.ppsp = &page;
        HWND sheet = (HWND)PropertySheetA(&header);
        EXPECT_NE(sheet, nullptr);
        if (sheet) windows_.push_back(sheet);
        return sheet;
    }
    HWND Page(HWND sheet) { return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }
    void SetUp() override {
        DialogTest::SetUp();
        Current.Name = "CONTEXTITEMS";
        Current.HelpContext = ContextItemsHelpContext;
        Current.PropertyPage = true;
    }
};

TEST_F(PropertyPageTest, SheetAndTabsAreMirrored) {
    for (bool rightToLeft : {false, true}) {
        SCOPED_TRACE(rightToLeft);
        UseLanguage("");
        Language.rightToLeft = rightToLeft;
        HWND sheet = OpenSheet();
        ASSERT_NE(sheet, nullptr);
        HWND tab = PropSheet_GetTabControl(sheet);
        ASSERT_NE(tab, nullptr);
        for (HWND w : {sheet, tab, Page(sheet)}) {
            EXPECT_EQ((GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, rightToLeft);
        }
    }
}

TEST_F(PropertyPageTest, PageTextsAndControlsButNotThePage) {
    Language.Clear();
    HWND plainSheet = OpenSheet();
    ASSERT_NE(plainSheet, nullptr);
    HWND plainPage = Page(plainSheet);
    RECT pageBefore = ScreenRectOf(plainPage);
    RECT labelBefore = ScreenRectOf(GetDlgItem(plainPage, 201));
    std::string pageTitle = Text(plainPage);

    UseLanguage(Entry(DialogKey("CONTEXTITEMS", ""), "200*200") +
                Entry(DialogKey("CONTEXTITEMS", "Page label"), "Etiquette") +
                Entry(DialogKey("CONTEXTITEMS", "Page title"), "Titre"));
    HWND sheet = OpenSheet();
    ASSERT_NE(sheet, nullptr);
    HWND page = Page(sheet);
    HWND label = GetDlgItem(page, 201);
    EXPECT_EQ(Text(label), "Etiquette");
    EXPECT_EQ(Text(page), pageTitle);
    RECT pageAfter = ScreenRectOf(page);
    EXPECT_EQ(pageAfter.right - pageAfter.left, pageBefore.right - pageBefore.left);
    EXPECT_EQ(pageAfter.bottom - pageAfter.top, pageBefore.bottom - pageBefore.top);
    RECT labelAfter = ScreenRectOf(label);
    EXPECT_EQ(labelAfter.right - labelAfter.left, (labelBefore.right - labelBefore.left + 1) * 2);
}

TEST_F(PropertyPageTest, SheetHelpButtonOpensThePageTopic) {
    HWND sheet = OpenSheet();
    ASSERT_NE(sheet, nullptr);
    HWND help = GetDlgItem(sheet, IDHELP);
    ASSERT_NE(help, nullptr);
    SendMessageA(help, BM_CLICK, 0, 0);
    PumpMessages(nullptr, 100);
    ASSERT_FALSE(HelpCalls.empty());
    EXPECT_EQ(HelpCalls.back().Owner, Page(sheet));
    EXPECT_EQ(HelpCalls.back().File, "kolvex.hlp");
    EXPECT_EQ(HelpCalls.back().Data, (ULONG_PTR)ContextItemsHelpContext);
    // PSN_HELP on a dialog that is not a page is nobody's business.
    Current.PropertyPage = false;
    HelpCalls.clear();
    NMHDR notify = {sheet, 0, (UINT)PSN_HELP};
    SendMessageA(Page(sheet), WM_NOTIFY, 0, (LPARAM)&notify);
    EXPECT_TRUE(HelpCalls.empty());
}
}  // namespace
