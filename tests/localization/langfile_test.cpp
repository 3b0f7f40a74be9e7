// Loading language files from memory and looking texts up, with keys computed by zlib.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

#include "localization/langres.h"
#include "localization/langfile_maker.h"
#include "support/pathutil.h"

namespace {
using namespace langtest;

const char BareMarker[] = "***messages**";

std::string Padding(size_t size) { return std::string(size, 'x'); }

std::string Upper(std::string s) {
    for (char& c : s) c = (char)toupper((unsigned char)c);
    return s;
}

// Where the marker lands decides whether the file is read at all: the last searched block
// ends at 523264 + 16, and a marker needs 16 bytes from its first byte on.
TEST(SectionMarker, FoundWithinTheSearchedBlocks) {
    struct Case { const char* Name; size_t Offset; size_t After; int64_t Found; };
    const Case cases[] = {
        {"at the start", 0, 100, 0},
        {"last position tested in block 0", 8176, 100, 8176},
        {"split across the first block's end", 8185, 100, 8185},
        {"last byte in block 0", 8191, 100, 8191},
        {"just after block 0", 8192, 100, 8192},
        {"last searched offset", 523264, 100, 523264},
        {"one past the searched range", 523265, 100, -1},
        {"16 bytes from the marker to the end", 20, 3, 20},
        {"15 bytes from the marker to the end", 20, 2, -1},
        {"15 bytes after a full block", 9000, 2, -1},
        {"16 bytes after a full block", 9000, 3, 9000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string bytes = Padding(c.Offset) + BareMarker + std::string(c.After, '\n');
        MemorySource source(bytes);
        EXPECT_EQ(FindSectionMarker(source), c.Found);
        LanguageResources language;
        Load(language, bytes);
        EXPECT_EQ(language.IsLoaded(), c.Found >= 0);
        if (language.IsLoaded()) EXPECT_EQ(std::string(language.text, 13), BareMarker);
    }
}

TEST(SectionMarker, OnlyTheExactMarkerCounts) {
    struct Case { const char* Text; bool Found; };
    const Case cases[] = {
        {"***messages**", true},   {"***messages***", true}, {"****messages**", true},
        {"**messages**", false},   {"***Messages**", false}, {"***messages*", false},
        {"*** messages**", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        MemorySource source(std::string("head\n") + c.Text + "\n0123456789abcdef\n");
        EXPECT_EQ(FindSectionMarker(source) >= 0, c.Found);
    }
}

TEST(SectionMarker, EmptyOrZeroFilledFileLoadsNothing) {
    for (size_t size : {(size_t)0, (size_t)15, (size_t)100000}) {
        SCOPED_TRACE(size);
        LanguageResources language;
        Load(language, std::string(size, '\0'));
        EXPECT_FALSE(language.IsLoaded());
        EXPECT_EQ(TranslateMessage(language, "Hello"), "Hello");
    }
}

TEST(LoadText, FailedSectionReadLeavesAnEmptyLoadedText) {
    MemorySource source(File(Entry(MessageKey("Hello"), "Bonjour")));
    source.failingRead = 2;  // the first read finds the marker, the second reads the section
    LanguageResources language;
    language.LoadText(source);
    ASSERT_TRUE(language.IsLoaded());
    EXPECT_EQ(language.textLength, 0);
    EXPECT_EQ(TranslateMessage(language, "Hello"), "Hello");
}

TEST(LoadText, NulEndsTheSection) {
    std::string bytes = File(Entry(MessageKey("a"), "A") + std::string(1, '\0') +
                             Entry(MessageKey("b"), "B"));
    LanguageResources language;
    Load(language, bytes);
    EXPECT_EQ(TranslateMessage(language, "a"), "A");
    EXPECT_EQ(TranslateMessage(language, "b"), "b");
}

// The section is held up to 65536 bytes from the marker; an entry cut there keeps what
// was read (at most 255 characters, as on any last line without a line end).
TEST(LoadText, LongSectionIsCutAndItsLastEntryKeepsTheCutText) {
    struct Case { size_t EntryStart; size_t Expected; };
    const Case cases[] = {{65536 - 100, 90}, {65536 - 600, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.EntryStart);
        std::string section = std::string(BareMarker) + "\r\n";
        while (section.size() < c.EntryStart - 2) section += "; filler\r\n";
        section.resize(c.EntryStart - 2, ';');
        section += "\r\n";
        std::string translation(1000, 'T');
        for (size_t i = 0; i < translation.size(); ++i) translation[i] = (char)('a' + i % 26);
        section += Entry(MessageKey("cut"), translation);
        LanguageResources language;
        Load(language, section);
        ASSERT_EQ(language.textLength, 65536);
        EXPECT_EQ(TranslateMessage(language, "cut"), translation.substr(0, c.Expected));
    }
}

// Each row: the text between the quotes as written in the file, and its translation.
TEST(Decoding, Escapes) {
    struct Case { const char* Written; const char* Translation; };
    const Case cases[] = {
        {"say \\\"hi\\\" now", "say \"hi\" now"},
        {"back\\\\slash", "back\\slash"},
        {"one\\ntwo", "one\ntwo"},
        {"one\\rtwo", "one\rtwo"},
        {"tab\\there", "tab\there"},
        {"other \\x stays", "other \\x stays"},
        {"ends in \\\\", "ends in \\"},
        {"\\\"", "\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Written);
        LanguageResources language;
        Load(language, File(Entry(MessageKey("src"), c.Written) + Entry(MessageKey("next"), "N")));
        EXPECT_EQ(TranslateMessage(language, "src"), c.Translation);
        EXPECT_EQ(TranslateMessage(language, "next"), "N");
    }
}

TEST(Decoding, InPlaceOverRawBytes) {
    struct Case { std::string Raw; std::string Decoded; };
    const Case cases[] = {
        {"a\r\nb\rc\nd\fe", "a\f\fb\fc\fd\fe"},
        {"trailing\\", "trailing\\"},
        {"\\n\\r\\t\\\"\\\\", "\n\r\t\"\\"},
        {std::string("x\\\0y", 4), "x\\"},
        {"\\\\n", "\\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Raw);
        std::string buffer = c.Raw + '#';
        int length = DecodeSection(&buffer[0], (int)c.Raw.size());
        EXPECT_EQ(buffer.substr(0, length), c.Decoded);
        EXPECT_EQ(buffer[length], '\0');
    }
}

TEST(Lookup, EveryKindOfLineEnd) {
    for (const char* end : {"\r\n", "\n", "\r", "\f", "\n\r", "\r\n\r\n\n"}) {
        SCOPED_TRACE(testing::Message() << "line end " << testing::PrintToString(std::string(end)));
        LanguageResources language;
        Load(language, File(Entry(MessageKey("one"), "1", end) + Entry(MessageKey("two"), "2", end) +
                            Entry(MessageKey("three"), "3", end)));
        EXPECT_EQ(TranslateMessage(language, "one"), "1");
        EXPECT_EQ(TranslateMessage(language, "two"), "2");
        EXPECT_EQ(TranslateMessage(language, "three"), "3");
    }
}

TEST(Lookup, EntryLinesOfEveryShape) {
    const std::string k = MessageKey("src");
    ASSERT_NE(Upper(k), k) << "the key needs a letter for the upper-case row";
    struct Case { const char* Name; std::string Lines; const char* Translation; };
    const Case cases[] = {
        {"plain", k + "=\"Text\"\r\n", "Text"},
        {"quotes inside run to the last one", k + "=\"a \"b\" c\" ignored\r\n", "a \"b\" c"},
        {"no closing quote keeps the line end", k + "=\"Text\r\n", "Text\f"},
        {"escaped quote without a closing one", k + "=\"Text\\\"\r\n", "Text"},
        {"last line without a line end", k + "=\"Text\"", "Text"},
        {"last line without quote or line end", k + "=\"Text", "Text"},
        {"found by the index without =\"", k + "xyText\"\r\n", "Text"},
        {"empty translation", k + "=\"\"\r\n", ""},
        {"upper-case key", Upper(k) + "=\"Text\"\r\n", "src"},
        {"line shorter than a key and =\"", k + "=\r\nabcdefghijklmn\r\n", "src"},
        {"key alone on its line", k + "\r\nabcdefghijklmn\r\n", "src"},
        {"short line, then the real entry", k + "\r\n" + k + "=\"Real\"\r\n", "Real"},
        {"key with a leading blank is a comment", " " + k + "=\"Text\"\r\n", "src"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LanguageResources language;
        Load(language, File(c.Lines));
        EXPECT_EQ(TranslateMessage(language, "src"), c.Translation);
    }
}

// The last lines of a text hold no room for a key, so nothing after them is read.
TEST(Lookup, LinesAtTheVeryEnd) {
    const std::string k = MessageKey("src");
    for (size_t keep = 0; keep <= k.size() + 3; ++keep) {
        SCOPED_TRACE(keep);
        std::string line = (k + "=\"T\"").substr(0, keep);
        LanguageResources language;
        Load(language, File(line));
        std::string result = TranslateMessage(language, "src");
        // "key=\"" alone is an empty translation; anything shorter is no entry.
        EXPECT_EQ(result, keep < 10 ? "src" : keep == 10 ? "" : "T");
    }
}

// Inputs that the fuzzer found, with the key that was looked up in them.
const char ShortKeyFinding[] =
    "***messages**\n*messages**\ndebae517=\"abc*120\"\r\ne30753f9=\"99999999999*-5\"\r\n"
    "9b889d24=\"101*100\"\r\nd\f\0\0\0\0\0\0\0ebae517=\"abc*120\"\r\ne30753f9=\"99999999999*-5\"\r\n"
    "9b889d24=\"101*100\"\r\n";

TEST(Lookup, FuzzFindings) {
    struct Case { const char* Name; std::string File; std::string Key; };
    const Case cases[] = {
        // A key as short as the text's last line matched it, and the scan then read the
        // line's 9th and 10th characters past the end of the text.
        {"short key on the last line",
         std::string(ShortKeyFinding, sizeof(ShortKeyFinding) - 1),
         "d\f"},
        {"empty key", File("x\r\n"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LanguageResources language;
        Load(language, c.File);
        ASSERT_TRUE(language.IsLoaded());
        EXPECT_EQ(language.FindScan(c.Key.c_str()), nullptr);
        EXPECT_EQ(language.FindSorted(c.Key.c_str()), nullptr);
    }
}

TEST(Lookup, RepeatedKeysGiveOneOfTheirTexts) {
    std::string entries;
    for (int i = 0; i < 50; ++i) entries += Entry(MessageKey("filler" + std::to_string(i)), "F");
    entries += Entry(MessageKey("twice"), "first") + Entry(MessageKey("twice"), "second");
    LanguageResources language;
    Load(language, File(entries));
    std::string result = TranslateMessage(language, "twice");
    EXPECT_TRUE(result == "first" || result == "second") << result;
}

// Many entries in random order: the sorted index finds each, and texts without an entry
// stay as they are.
TEST(Lookup, ManyEntries) {
    std::mt19937 random(4242);
    std::map<std::string, std::string> expected;
    std::string entries;
    for (int i = 0; i < 1500; ++i) {
        std::string source = "Text number " + std::to_string(random());
        std::string translation = "Translated " + std::to_string(i);
        if (!expected.emplace(source, translation).second) continue;
        entries += Entry(MessageKey(source), translation, i % 3 ? "\r\n" : "\n");
    }
    LanguageResources language;
    Load(language, File(entries));
    EXPECT_EQ(language.lineIndex.count, (int)expected.size());
    for (const auto& e : expected) {
        ASSERT_EQ(TranslateMessage(language, e.first), e.second) << e.first;
        char key[KeyLength + 1];
        MakeTranslationKey(key, e.first.c_str(), nullptr, TextKind::Message);
        ASSERT_EQ(language.FindSorted(key), language.FindScan(key)) << e.first;
    }
    for (int i = 0; i < 1000; ++i) {
        std::string absent = "Absent " + std::to_string(i);
        ASSERT_EQ(TranslateMessage(language, absent), absent);
    }
}

TEST(Lookup, KindAndContextAreParts) {
    LanguageResources language;
    Load(language, File(Entry(MessageKey("OK"), "message") + Entry(DialogKey("SETUPDLG", "OK"), "setup") +
                        Entry(DialogKey("DONEDLG", "OK"), "done")));
    char buffer[64];
    language.Translate("OK", buffer, nullptr, TextKind::Message);
    EXPECT_STREQ(buffer, "message");
    language.Translate("OK", buffer, "SETUPDLG", TextKind::Dialog);
    EXPECT_STREQ(buffer, "setup");
    language.Translate("OK", buffer, "DONEDLG", TextKind::Dialog);
    EXPECT_STREQ(buffer, "done");
    language.Translate("OK", buffer, "CONTEXTITEMS", TextKind::Dialog);
    EXPECT_STREQ(buffer, "OK");
}

class TranslateBounds : public testing::Test {
protected:
    void SetUp() override { saved_ = LeadBytes; }
    void TearDown() override { LeadBytes = saved_; }
    LeadByteTable saved_;
};

// A translation never writes past the destination: it is cut to fit, and on a double-byte
// code page not in the middle of a character.
TEST_F(TranslateBounds, LongTranslationIsCutToFit) {
    const std::string nihao = "\xC4\xE3\xBA\xC3";  // two double-byte characters
    struct Case { const char* Name; std::string Translation; size_t Size; bool Cp936; std::string Result; };
    const Case cases[] = {
        {"fits exactly", "abcdefg", 8, false, "abcdefg"},
        {"one too long", "abcdefgh", 8, false, "abcdefg"},
        {"only the terminator fits", "abc", 1, false, ""},
        {"double-byte, whole characters", nihao, 5, true, nihao},
        {"double-byte, cut before a split", nihao, 4, true, "\xC4\xE3"},
        {"single-byte code page cuts anywhere", nihao, 4, false, "\xC4\xE3\xBA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LeadBytes = LeadByteTable{};
        if (c.Cp936) FillCodePage936Table(LeadBytes);
        LanguageResources language;
        Load(language, File(Entry(MessageKey("src"), c.Translation)));
        std::string buffer(c.Size + 4, '#');
        language.Translate("src", &buffer[0], c.Size, nullptr, TextKind::Message);
        EXPECT_EQ(std::string(buffer.c_str()), c.Result);
        EXPECT_EQ(buffer.substr(c.Size), "####");
    }
}

// GetMsg translates its 512-byte ring buffer in place.
TEST_F(TranslateBounds, InPlaceTranslationLongerThanTheBuffer) {
    LanguageResources language;
    Load(language, File(Entry(MessageKey("short"), std::string(2000, 'L'))));
    char buffer[512 + 4];
    memset(buffer, '#', sizeof(buffer));
    strcpy(buffer, "short");
    language.Translate(buffer, buffer, 512, nullptr, TextKind::Message);
    EXPECT_EQ(std::string(buffer), std::string(511, 'L'));
    EXPECT_EQ(std::string(buffer + 512, 4), "####");
}

TEST_F(TranslateBounds, WithoutLanguageFileTextsAreCopied) {
    LanguageResources language;
    EXPECT_FALSE(language.IsLoaded());
    char buffer[8];
    language.Translate("abc", buffer, nullptr, TextKind::Message);
    EXPECT_STREQ(buffer, "abc");
    language.Translate("abcdefghij", buffer, nullptr, TextKind::Message);
    EXPECT_STREQ(buffer, "abcdefg");
    strcpy(buffer, "same");
    language.Translate(buffer, buffer, nullptr, TextKind::Message);
    EXPECT_STREQ(buffer, "same");
    buffer[0] = 'X';
    language.Translate("abc", buffer, 0, nullptr, TextKind::Message);  // no room at all
    EXPECT_EQ(buffer[0], 'X');
}

TEST(Direction, OnlyAnExactRtlEntry) {
    struct Case { const char* Name; std::string Lines; bool RightToLeft; };
    const Case cases[] = {
        {"RTL", Entry("50a17ae8", "RTL"), true},
        {"rtl", Entry("50a17ae8", "rtl"), false},
        {"RTL and a blank", Entry("50a17ae8", "RTL "), false},
        {"LTR", Entry("50a17ae8", "LTR"), false},
        {"RTL without closing quote", "50a17ae8=\"RTL\r\n", false},
        {"no entry", Entry(MessageKey("x"), "y"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LanguageResources language;
        Load(language, File(c.Lines));
        EXPECT_EQ(language.DirectionEntrySaysRtl(), c.RightToLeft);
    }
    LanguageResources empty;
    EXPECT_FALSE(empty.DirectionEntrySaysRtl());
}

TEST(LoadText, LoadingAgainReplacesTheText) {
    LanguageResources language;
    Load(language, File(Entry(MessageKey("a"), "first")));
    language.rightToLeft = true;
    Load(language, File(Entry(MessageKey("b"), "second")));
    EXPECT_EQ(TranslateMessage(language, "a"), "a");
    EXPECT_EQ(TranslateMessage(language, "b"), "second");
    language.Clear();
    EXPECT_FALSE(language.IsLoaded());
    EXPECT_FALSE(language.rightToLeft);
    EXPECT_EQ(language.lineIndex.count, 0);
}

class LanguageFilePathTest : public TranslateBounds {};

TEST_F(LanguageFilePathTest, NextToTheProgramOrAsGiven) {
    struct Case { const char* Program; const char* Name; bool Cp936; bool Ok; const char* Path; };
    const Case cases[] = {
        {"C:\\Kolvex\\uninstall.exe", "uninstall.lng", false, true, "C:\\Kolvex\\uninstall.lng"},
        {"C:\\Kolvex\\uninstall.exe", "D:\\lang\\my.lng", false, true, "D:\\lang\\my.lng"},
        {"C:\\Kolvex\\uninstall.exe", "sub/my.lng", false, true, "C:\\Kolvex\\sub/my.lng"},
        {"uninstall.exe", "uninstall.lng", false, false, ""},
        {"", "uninstall.lng", false, false, ""},
        // 0x95 0x5C is one character of code page 936: its second byte is no separator.
        {"C:\\a\\b\x95\\.exe", "u.lng", true, true, "C:\\a\\u.lng"},
        {"C:\\a\\b\x95\\.exe", "u.lng", false, true, "C:\\a\\b\x95\\u.lng"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Program);
        LeadBytes = LeadByteTable{};
        if (c.Cp936) FillCodePage936Table(LeadBytes);
        char path[64];
        EXPECT_EQ(LanguageFilePath(path, sizeof(path), c.Program, c.Name), c.Ok);
        EXPECT_STREQ(path, c.Path);
    }
    char small[16];
    EXPECT_FALSE(LanguageFilePath(small, sizeof(small), "C:\\Kolvex\\uninstall.exe", "uninstall.lng"));
    EXPECT_STREQ(small, "");
}

TEST(ArrayOfInt, CapacityGrowsByAQuarterPlus32) {
    Array<int> array;
    std::vector<int> capacities;
    for (int i = 0; i < 300; ++i) {
        array.Append(i);
        if (capacities.empty() || capacities.back() != array.capacity) capacities.push_back(array.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<int>{32, 72, 122, 184, 262, 359}));
    EXPECT_EQ(array.count, 300);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(array.data[i], i);
    array.Grow(1000);
    EXPECT_EQ(array.count, 1300);
    EXPECT_EQ(array.capacity, 1300);
}

// A count that would overflow is out of memory too: fatal, code 8, nothing changed.
TEST(ArrayOfInt, OverflowingGrowthIsFatal) {
    Errors = ErrorState{};
    Array<int> array;
    array.Append(7);
    try {
        array.Grow(INT_MAX);
        FAIL() << "no exception";
    } catch (int code) {
        EXPECT_EQ(code, 8);
    }
    EXPECT_EQ(Errors.errorCode, 8);
    EXPECT_EQ(array.count, 1);
    EXPECT_EQ(array.data[0], 7);
    Errors = ErrorState{};
}
}  // namespace
