// The table-driven CRC-32 against zlib, and the keys that translators rely on.
#include "localization/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "localization/langres.h"

namespace {
uint32_t Crc(const uint8_t* data, size_t size) { return ~Crc32Update(0xFFFFFFFFu, data, size); }

// Every start offset within an 8-byte word and lengths around the 8-byte steps, so the
// single-byte head, the word loop and the tail all meet every case.
TEST(Crc32, MatchesZlibAtEveryAlignment) {
    std::mt19937 random(12345);
    alignas(8) uint8_t buffer[4096 + 16];
    for (uint8_t& b : buffer) b = (uint8_t)random();
    const size_t lengths[] = {0, 1, 2, 7, 8, 9, 15, 16, 17, 31, 63, 64, 65, 1000, 4096};
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t length : lengths) {
            SCOPED_TRACE(testing::Message() << "offset " << offset << " length " << length);
            const uint8_t* p = buffer + offset;
            uint32_t expected = (uint32_t)crc32(0L, p, (uInt)length);
            EXPECT_EQ(Crc(p, length), expected);
        }
    }
}

TEST(Crc32, PiecewiseEqualsWhole) {
    std::mt19937 random(777);
    std::vector<uint8_t> data(3000);
    for (uint8_t& b : data) b = (uint8_t)random();
    for (size_t cut : {0, 1, 5, 8, 13, 1499, 2999, 3000}) {
        SCOPED_TRACE(cut);
        uint32_t crc = Crc32Update(0xFFFFFFFFu, data.data(), cut);
        crc = ~Crc32Update(crc, data.data() + cut, data.size() - cut);
        EXPECT_EQ(crc, (uint32_t)crc32(0L, data.data(), (uInt)data.size()));
    }
}

TEST(Crc32, TableEntries) {
    Crc(nullptr, 0);  // builds the table
    EXPECT_EQ(Crc32Table[0], 0u);
    EXPECT_EQ(Crc32Table[1], 0x77073096u);
    EXPECT_EQ(Crc32Table[255], 0x2D02EF8Du);
}

// The keys that existing language files use for the setup dialog's scale and the
// reading direction.
TEST(TranslationKey, KnownKeys) {
    struct Case { const char* Source; const char* Context; TextKind Kind; const char* Key; };
    const Case cases[] = {
        {"", "SETUPDLG", TextKind::Dialog, "9b889d24"},
        {"LTR", "LTR", TextKind::Dialog, "50a17ae8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Key);
        char key[KeyLength + 1];
        ASSERT_TRUE(MakeTranslationKey(key, c.Source, c.Context, c.Kind));
        EXPECT_STREQ(key, c.Key);
    }
}

TEST(TranslationKey, PrefixContextAndSourceAreJoined) {
    struct Case { const char* Source; const char* Context; TextKind Kind; const char* Bytes; };
    const Case cases[] = {
        {"Hello %s", nullptr, TextKind::Message, "sHello %s"},
        {"&OK", "DONEDLG", TextKind::Dialog, "$DONEDLG&OK"},
        {"x", "", TextKind::Other, "@x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bytes);
        char key[KeyLength + 1];
        ASSERT_TRUE(MakeTranslationKey(key, c.Source, c.Context, c.Kind));
        char expected[16];
        snprintf(expected, sizeof(expected), "%08lx",
                 crc32(0L, reinterpret_cast<const Bytef*>(c.Bytes), (uInt)strlen(c.Bytes)));
        EXPECT_STREQ(key, expected);
    }
    char key[KeyLength + 1];
    EXPECT_FALSE(MakeTranslationKey(key, "x", nullptr, static_cast<TextKind>(3)));
}
}  // namespace
