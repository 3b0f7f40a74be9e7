// CRC-32 as zlib and the zip format compute it; it keys the language file's entries.
#pragma once
#include <cstddef>
#include <cstdint>

extern uint32_t Crc32Table[256];

// Adds bytes to a running CRC. Start from 0xFFFFFFFF and complement the end result
// yourself; neither happens here, so a key can be built from several pieces.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t count);
