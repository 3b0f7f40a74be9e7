// The language file read through File from disk, the reading direction, and the program
// itself translating its /warning notice.
#include <gtest/gtest.h>

#include "common/testenv_win.h"
#include "localization/langfile_maker.h"
#include "localization/langres.h"
#include "localization/messages.h"

using namespace testenv;

namespace {
class LanguageFileOnDisk : public testing::Test {
protected:
    LanguageFileOnDisk() : dir_("langfile") {}
    void SetUp() override { savedModule_ = ResourceModule; }
    void TearDown() override {
        ResourceModule = savedModule_;
        if (library_) FreeLibrary(library_);
    }
    std::string Write(const std::string& bytes) {
        std::string path = dir_ / "uninstall.lng";
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }
    ScratchDir dir_;
    HINSTANCE savedModule_ = nullptr;
    HMODULE library_ = nullptr;
};

// The same block logic as in memory, here over a real file and File's positions.
TEST_F(LanguageFileOnDisk, MarkerPositions) {
    struct Case { size_t Offset; size_t After; bool Loaded; };
    const Case cases[] = {
        {0, 100, true}, {8185, 100, true}, {523264, 100, true}, {523265, 100, false},
        {100, 2, false}, {100, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Offset << " + " << c.After);
        std::string entry = "\n" + langtest::Entry(langtest::MessageKey("Yes"), "Oui");
        std::string tail = c.After > entry.size() ? entry + std::string(c.After - entry.size(), '\n')
                                                  : std::string(c.After, '\n');
        std::string path = Write(std::string(c.Offset, ' ') + "***messages**" + tail);
        LanguageResources language;
        language.LoadFile(path.c_str());
        EXPECT_EQ(language.IsLoaded(), c.Loaded);
        if (c.Loaded && c.After >= entry.size()) {
            EXPECT_EQ(langtest::TranslateMessage(language, "Yes"), "Oui");
        }
    }
}

TEST_F(LanguageFileOnDisk, MissingFileOrFolderLoadsNothing) {
    for (std::string path : {dir_ / "none.lng", dir_ / "nofolder\\uninstall.lng"}) {
        SCOPED_TRACE(path);
        LanguageResources language;
        language.LoadFile(path.c_str());
        EXPECT_FALSE(language.IsLoaded());
        EXPECT_EQ(langtest::TranslateMessage(language, "Yes"), "Yes");
    }
}

// The file stays readable to us while a translator's editor holds it open for writing.
TEST_F(LanguageFileOnDisk, ReadWhileAnotherProgramWritesIt) {
    std::string path = Write(langtest::File(langtest::Entry(langtest::MessageKey("Yes"), "Oui")));
    HANDLE editor = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    LanguageResources language;
    language.LoadFile(path.c_str());
    CloseHandle(editor);
    EXPECT_EQ(langtest::TranslateMessage(language, "Yes"), "Oui");
}

TEST_F(LanguageFileOnDisk, DirectionFromTheEntryOrTheResourceLibrary) {
    library_ = LoadLibraryA((FixtureDir() + "\\langrtl.dll").c_str());
    ASSERT_NE(library_, nullptr);
    HINSTANCE program = GetModuleHandleA(nullptr);
    struct Case { const char* Name; const char* Entry; bool RtlLibrary; bool RightToLeft; };
    const Case cases[] = {
        {"entry RTL", "RTL", false, true},
        {"entry rtl", "rtl", false, false},
        {"no entry", nullptr, false, false},
        {"library with an RTL dialog, no entry", nullptr, true, true},
        {"library with an RTL dialog, entry LTR", "LTR", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string entries = c.Entry ? langtest::Entry(langtest::DialogKey("LTR", "LTR"), c.Entry) : "";
        std::string path = Write(langtest::File(entries));
        ResourceModule = c.RtlLibrary ? (HINSTANCE)library_ : program;
        LanguageResources language;
        language.Init(path.c_str());
        EXPECT_TRUE(language.IsLoaded());
        EXPECT_EQ(language.rightToLeft, c.RightToLeft);
    }
    // Without any language file the resource library still decides.
    ResourceModule = (HINSTANCE)library_;
    LanguageResources none;
    none.Init((dir_ / "none.lng").c_str());
    EXPECT_FALSE(none.IsLoaded());
    EXPECT_TRUE(none.rightToLeft);
}

// The program finds "uninstall.lng" next to itself and translates its message strings
// (the built-in Chinese texts are the sources of the keys).
class TranslatedProgram : public testing::Test {
protected:
    TranslatedProgram() : dir_("langprogram") {}
    void SetUp() override {
        program_ = dir_ / "uninstall.exe";
        ASSERT_TRUE(CopyFileTo(ProgramPath(), program_));
    }
    ScratchDir dir_;
    std::string program_;
};

TEST_F(TranslatedProgram, WarningNoticeIsTranslated) {
    using langtest::Entry;
    using langtest::MessageKey;
    std::string entries = Entry(MessageKey(Ansi("卸载 Kolvex")), "Remove Kolvex") +
                          Entry(MessageKey(Ansi("卸载已经完成")), "Done \\\"uninstalling\\\"", "\n") +
                          Entry(MessageKey(Ansi("你应该手动删除 %s")), "Please delete %s yourself", "\r");
    ASSERT_TRUE(WriteFileBytes(dir_ / "uninstall.lng", langtest::File(entries)));
    Process p;
    ASSERT_TRUE(p.Start("\"" + program_ + "\" /warning", dir_.Path()));
    HWND box = WaitForWindow(p.Id(), "#32770", nullptr, 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(WindowTextW(box)), "Remove Kolvex");
    EXPECT_EQ(Utf8(DlgItemTextW(box, 0xFFFF)),
              "Done \"uninstalling\"\nPlease delete " + program_ + " yourself");
    HWND ok = GetDlgItem(box, IDOK);
    if (ok) SendMessageW(ok, BM_CLICK, 0, 0);
    else PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 1;
    if (!p.Wait(10000, &code)) {
        p.Kill();
        FAIL() << "the notice did not close";
    }
    EXPECT_EQ(code, 0u);
}

TEST_F(TranslatedProgram, FileWithoutEntriesKeepsTheBuiltInTexts) {
    ASSERT_TRUE(WriteFileBytes(dir_ / "uninstall.lng", langtest::File("; nothing translated yet\r\n")));
    Process p;
    ASSERT_TRUE(p.Start("\"" + program_ + "\" /warning", dir_.Path()));
    HWND box = WaitForWindow(p.Id(), "#32770", nullptr, 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(WindowTextW(box)), "卸载 Kolvex");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (!p.Wait(10000)) p.Kill();
}
}  // namespace
