// The key path rule of the registry layer, free of Win32 so that it builds and is tested natively.
#pragma once
#include <cstddef>

// The product's settings key below HKEY_CURRENT_USER; relative paths there are counted from it.
extern const char SettingsKeyPath[];

// Size of the buffer that every registry operation maps its key path into.
constexpr size_t RegPathBufferSize = 256;
// Room kept free in that buffer for the settings key prefix: a caller's path may be at most
// RegPathBufferSize - RegPathReserve (236) characters long.
constexpr size_t RegPathReserve = 20;

bool MapRegPath(bool currentUserRoot, char* dest, size_t size, const char* path);
template <size_t N>
bool MapRegPath(bool currentUserRoot, char (&dest)[N], const char* path) {
    return MapRegPath(currentUserRoot, dest, N, path);
}
