// Translation lookups over the loaded language text.
#include "localization/langres.h"

#include <cstdio>
#include <cstring>

#include "localization/crc32.h"
#include "support/pathutil.h"

namespace {
const char KindPrefix[] = {'s', '$', '@'};
// Without a line end after it, a translation on the text's last line is taken this long.
const int LastLineLimit = 255;

// Compares the key with the first key characters of a line, as the sort orders them.
int CompareKey(const char* key, const char* line) {
    for (int i = 0; i < KeyLength; ++i) {
        unsigned char a = (unsigned char)key[i];
        unsigned char b = (unsigned char)line[i];
        if (a != b) return a < b ? -1 : 1;
        if (a == 0) return 0;
    }
    return 0;
}

// A line found by its key alone may end before the translation would begin; such a
// line holds no translation and must not send the copy into the next line or past the text.
bool ReachesTranslation(const char* line) {
    for (int i = 0; i < EntryTextOffset; ++i) {
        if (line[i] == 0 || line[i] == LineEnd) return false;
    }
    return true;
}

// Length of the translation that starts at start: through the line end, or at most
// LastLineLimit characters on the last line, then cut at its last double quote.
size_t TranslationLength(const char* start) {
    size_t length = 0;
    while (start[length] != 0 && start[length] != LineEnd) ++length;
    if (start[length] == LineEnd) ++length;
    else if (length > LastLineLimit) length = LastLineLimit;
    for (size_t i = length; i > 0; --i) {
        if (start[i - 1] == '"') return i - 1;
    }
    return length;
}

// The longest prefix of at most limit bytes that does not split a double-byte character.
size_t FitLength(const char* start, size_t length, size_t limit) {
    if (length <= limit) return length;
    size_t fit = 0;
    while (fit < limit) {
        size_t step = (LeadBytes.isLeadByte[(unsigned char)start[fit]] && fit + 1 < length) ? 2 : 1;
        if (fit + step > limit) break;
        fit += step;
    }
    return fit;
}

void CopyCut(char* dest, size_t destSize, const char* start, size_t length) {
    size_t n = FitLength(start, length, destSize - 1);
    memmove(dest, start, n);
    dest[n] = 0;
}

// A key is 8 characters; a shorter one would match a line as short as itself and send the
// lookup past that line's end.
bool IsWholeKey(const char* key) { return strnlen(key, KeyLength) == KeyLength; }
}  // namespace

bool MakeTranslationKey(char (&key)[KeyLength + 1], const char* source, const char* context,
                        TextKind kind) {
    int k = static_cast<int>(kind);
    if (k < 0 || k >= (int)sizeof(KindPrefix)) return false;
    uint32_t crc = Crc32Update(0xFFFFFFFFu, &KindPrefix[k], 1);
    if (context) crc = Crc32Update(crc, context, strlen(context));
    crc = Crc32Update(crc, source, strlen(source));
    snprintf(key, sizeof(key), "%08x", (unsigned)~crc);
    return true;
}

// Binary search over the line index by key characters only.
const char* LanguageResources::FindSorted(const char* key) const {
    if (!text || !IsWholeKey(key)) return nullptr;
    int first = 0;
    int size = lineIndex.count;
    while (size > 0) {
        int middle = first + size / 2;
        const char* line = text + lineIndex.data[middle];
        int order = CompareKey(key, line);
        if (order == 0) return line;
        if (order < 0) {
            size /= 2;
        } else {
            size -= size / 2 + 1;
            first = middle + 1;
        }
    }
    return nullptr;
}

// Walks every line from the start of the text. Every line that can match here is in the
// index too, so after a miss of the binary search this mostly confirms the miss; it does
// find the real entry when the search hit a too-short line with the same key.
const char* LanguageResources::FindScan(const char* key) const {
    if (!text || !IsWholeKey(key)) return nullptr;
    const char* line = text;
    while (*line) {
        if (CompareKey(key, line) == 0 && line[KeyLength] == '=' && line[KeyLength + 1] == '"') return line;
        while (*line && *line != LineEnd) ++line;
        while (*line == LineEnd) ++line;
    }
    return nullptr;
}

const char* LanguageResources::FindEntry(const char* source, const char* context, TextKind kind) const {
    char key[KeyLength + 1];
    if (!MakeTranslationKey(key, source, context, kind)) return nullptr;
    const char* line = FindSorted(key);
    if (line && ReachesTranslation(line)) return line;
    return FindScan(key);
}

void LanguageResources::Translate(const char* source, char* dest, size_t destSize,
                                  const char* context, TextKind kind) const {
    if (destSize == 0) return;
    const char* line = text ? FindEntry(source, context, kind) : nullptr;
    if (line) {
        const char* start = line + EntryTextOffset;
        CopyCut(dest, destSize, start, TranslationLength(start));
        return;
    }
    if (source != dest) CopyCut(dest, destSize, source, strlen(source));
}

// The language file marks a right-to-left language by translating "LTR" as "RTL".
bool LanguageResources::DirectionEntrySaysRtl() const {
    char direction[DialogTextSize];
    Translate("LTR", direction, "LTR", TextKind::Dialog);
    return strcmp(direction, "RTL") == 0;
}
