// Path and text helpers that walk ANSI strings character by character.
#include "support/pathutil.h"

#include <cstdio>
#include <cstring>

LeadByteTable LeadBytes;

void FillCodePage936Table(LeadByteTable& table) {
    for (int b = 0; b < 256; ++b) table.isLeadByte[b] = b >= 0x81 && b <= 0xFE;
    table.multiByte = true;
}

// A lead byte followed by the terminator must not carry the walk past the end.
const char* NextChar(const LeadByteTable& table, const char* p) {
    if (table.isLeadByte[(unsigned char)*p]) return p[1] ? p + 2 : p + 1;
    return p + 1;
}

bool IsPathDivider(unsigned char c) { return c == '\\' || c == '/'; }
bool IsDriveDivider(unsigned char c) { return c == ':'; }

static const char* Step(const LeadByteTable& table, const char* p) {
    return table.multiByte ? NextChar(table, p) : p + 1;
}

const char* GetNamePart(const LeadByteTable& table, const char* path) {
    const char* afterDivider = nullptr;
    for (const char* p = path; *p; p = Step(table, p)) {
        if (IsPathDivider((unsigned char)*p)) afterDivider = p + 1;
    }
    if (afterDivider) return afterDivider;
    if (!*path) return path;
    bool firstSingle = !(table.multiByte && table.isLeadByte[(unsigned char)path[0]]);
    if (firstSingle && IsDriveDivider((unsigned char)path[1])) return path + 2;
    return path;
}

char* GetNamePart(const LeadByteTable& table, char* path) {
    return const_cast<char*>(GetNamePart(table, const_cast<const char*>(path)));
}
const char* GetNamePart(const char* path) { return GetNamePart(LeadBytes, path); }
char* GetNamePart(char* path) { return GetNamePart(LeadBytes, path); }

const char* PointToLastChar(const LeadByteTable& table, const char* s) {
    const char* last = s;
    for (const char* p = s; *p; p = Step(table, p)) last = p;
    return last;
}

bool AddTrailingSlash(const LeadByteTable& table, char* path, size_t size) {
    if (!*path) return true;
    // Only a backslash counts: a path that ends with a slash still gets one.
    if (*PointToLastChar(table, path) == '\\') return true;
    size_t len = strlen(path);
    if (len + 2 > size) return false;
    path[len] = '\\';
    path[len + 1] = 0;
    return true;
}

bool AddTrailingSlash(char* path, size_t size) { return AddTrailingSlash(LeadBytes, path, size); }

// Keeps the root of a drive ("C:\", "C:") when the name sits directly in it.
void RemoveNamePart(const LeadByteTable& table, char* path) {
    char* name = GetNamePart(table, path);
    size_t offset = (size_t)(name - path);
    if (offset < 2) { *name = 0; return; }
    if (path[1] != ':') { name[-1] = 0; return; }
    if (offset < 4) *name = 0;
    else name[-1] = 0;
}

void RemoveNamePart(char* path) { RemoveNamePart(LeadBytes, path); }

// Byte by byte is safe here: none of these bytes is ever the second byte of a character.
char* TrimRight(char* text) {
    size_t len = strlen(text);
    while (len > 0) {
        char c = text[len - 1];
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t') break;
        text[--len] = 0;
    }
    return text;
}

char* FormatTo(char* buffer, size_t size, const char* format, ...) {
    if (size == 0) return buffer;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0) buffer[0] = 0;
    return buffer;
}

bool FormatWhole(char* buffer, size_t size, const char* format, ...) {
    if (size == 0) return false;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0 || (size_t)n >= size) { buffer[0] = 0; return false; }
    return true;
}

bool CopyWhole(char* dest, size_t size, const char* src) {
    if (size == 0) return false;
    size_t len = strlen(src);
    if (len >= size) { dest[0] = 0; return false; }
    memcpy(dest, src, len + 1);
    return true;
}
