// The table-driven CRC-32 update, eight bytes per step once the data is aligned.
#include "localization/crc32.h"

uint32_t Crc32Table[256];

namespace {
const uint32_t Polynomial = 0xEDB88320;

// Entry 1 is never 0 in a built table, so it tells whether the table is ready.
void BuildTableOnce() {
    if (Crc32Table[1] != 0) return;
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ Polynomial : c >> 1;
        Crc32Table[i] = c;
    }
}

inline uint32_t Step(uint32_t crc, uint8_t byte) { return (crc >> 8) ^ Crc32Table[(crc ^ byte) & 0xFF]; }

inline uint32_t Step4(uint32_t crc) {
    for (int i = 0; i < 4; ++i) crc = (crc >> 8) ^ Crc32Table[crc & 0xFF];
    return crc;
}

// Little-endian whatever the host, because the CRC takes the bytes in stream order.
inline uint32_t Word(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t count) {
    BuildTableOnce();
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (count > 0 && ((uintptr_t)p & 7) != 0) {
        crc = Step(crc, *p++);
        --count;
    }
    for (; count >= 8; count -= 8, p += 8) {
        crc = Step4(crc ^ Word(p));
        crc = Step4(crc ^ Word(p + 4));
    }
    while (count > 0) {
        crc = Step(crc, *p++);
        --count;
    }
    return crc;
}
