// Path and text helpers that walk ANSI strings character by character (no Win32 here).
#pragma once
#include <cstdarg>
#include <cstddef>

// Which byte values start a two-byte character in the process's ANSI code page.
struct LeadByteTable {
    bool isLeadByte[256];
    bool multiByte;
};

// The process-wide table; filled from the system before any other global object is built
// (all false, a single-byte code page, until then and in the native build).
extern LeadByteTable LeadBytes;

// Marks 0x81..0xFE as lead bytes, as code page 936 does; for tests of double-byte paths.
void FillCodePage936Table(LeadByteTable& table);

const char* NextChar(const LeadByteTable& table, const char* p);
bool IsPathDivider(unsigned char c);
bool IsDriveDivider(unsigned char c);

const char* GetNamePart(const LeadByteTable& table, const char* path);
char* GetNamePart(const LeadByteTable& table, char* path);
const char* GetNamePart(const char* path);
char* GetNamePart(char* path);

const char* PointToLastChar(const LeadByteTable& table, const char* s);

// Appends a backslash unless the path is empty or already ends with one. Returns false,
// changing nothing, when the buffer has no room for it.
bool AddTrailingSlash(const LeadByteTable& table, char* path, size_t size);
bool AddTrailingSlash(char* path, size_t size);
template <size_t N> bool AddTrailingSlash(char (&path)[N]) { return AddTrailingSlash(path, N); }

void RemoveNamePart(const LeadByteTable& table, char* path);
void RemoveNamePart(char* path);

char* TrimRight(char* text);

// Formats into the buffer, cutting the text to fit; never writes past size bytes.
char* FormatTo(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
template <size_t N, typename... Args>
char* FormatTo(char (&buffer)[N], const char* format, Args... args) {
    return FormatTo(buffer, N, format, args...);
}

// Formats into the buffer only when the whole text fits; otherwise leaves it empty and
// returns false. Use it for paths: a cut path can name another file.
bool FormatWhole(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
template <size_t N, typename... Args>
bool FormatWhole(char (&buffer)[N], const char* format, Args... args) {
    return FormatWhole(buffer, N, format, args...);
}

// Copies the text whole or not at all (empty destination, false).
bool CopyWhole(char* dest, size_t size, const char* src);
template <size_t N> bool CopyWhole(char (&dest)[N], const char* src) { return CopyWhole(dest, N, src); }
