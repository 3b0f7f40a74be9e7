// Reading the language file: the marker search, decoding and the sorted line index.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "localization/langres.h"
#include "support/pathutil.h"

namespace {
// The section starts at "***messages**"; two asterisks and then these 11 bytes are
// compared, so files written with a third closing asterisk match as well.
const char MarkerTail[] = "*messages**";
const int MarkerTailLength = sizeof(MarkerTail) - 1;

bool MarkerAt(const char* p) {
    return p[0] == '*' && p[1] == '*' && memcmp(p + 2, MarkerTail, MarkerTailLength) == 0;
}

char EscapedChar(char c) {
    switch (c) {
        case '"': return '"';
        case '\\': return '\\';
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        default: return 0;
    }
}

// Orders lines by their key characters only; the rest of a line never takes part.
bool KeyLess(const char* text, int a, int b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(text + a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(text + b);
    for (int i = 0; i < KeyLength; ++i) {
        if (x[i] != y[i]) return x[i] < y[i];
        if (x[i] == 0) return false;
    }
    return false;
}

// Finds the last backslash, stepping over double-byte characters whose second byte is 0x5C.
const char* LastBackslash(const char* path) {
    const char* last = nullptr;
    for (const char* p = path; *p; p = NextChar(LeadBytes, p)) {
        if (*p == '\\') last = p;
    }
    return last;
}
}  // namespace

// Blocks overlap by MarkerMinBytes, so a marker that crosses the end of one block is
// found whole in the next. A block with fewer than MarkerMinBytes bytes ends the search.
int64_t FindSectionMarker(ByteSource& source) {
    char block[MarkerBlockSize];
    for (int n = 0; n < MarkerSearchBlocks; ++n) {
        int64_t blockStart = source.Tell();
        if (blockStart < 0) return -1;
        int count = source.Read(block, MarkerBlockSize);
        if (count < MarkerMinBytes) return -1;
        if (count > MarkerBlockSize) count = MarkerBlockSize;
        for (int i = 0; i <= count - MarkerMinBytes; ++i) {
            if (MarkerAt(block + i)) return blockStart + i;
        }
        source.SeekFromStart(blockStart + count - MarkerMinBytes);
    }
    return -1;
}

int DecodeSection(char* text, int rawLength) {
    int read = 0;
    int write = 0;
    while (read < rawLength) {
        char c = text[read++];
        if (c == 0) break;
        if (c == '\\' && read < rawLength) {
            char escaped = EscapedChar(text[read]);
            if (escaped) {
                // Line ends made by escapes belong to the text and do not end its line.
                text[write++] = escaped;
                ++read;
                continue;
            }
        }
        if (c == '\r' || c == '\n') c = LineEnd;
        text[write++] = c;
    }
    text[write] = 0;
    return write;
}

bool LanguageFilePath(char* dest, size_t destSize, const char* programPath, const char* name) {
    if (LastBackslash(name)) return CopyWhole(dest, destSize, name);
    if (!CopyWhole(dest, destSize, programPath)) return false;
    const char* slash = LastBackslash(dest);
    if (!slash) {
        dest[0] = 0;
        return false;
    }
    size_t used = (size_t)(slash + 1 - dest);
    return CopyWhole(dest + used, destSize - used, name) || (dest[0] = 0, false);
}

void LanguageResources::Clear() {
    free(text);
    text = nullptr;
    textLength = 0;
    lineIndex.Clear();
    rightToLeft = false;
}

// Anything short of a marker leaves the table empty; a failed read of the section
// leaves it loaded but empty, so strings still come from the program itself.
void LanguageResources::LoadText(ByteSource& source) {
    Clear();
    int64_t marker = FindSectionMarker(source);
    if (marker < 0) return;
    source.SeekFromStart(marker);
    char* section = static_cast<char*>(malloc(MaxSectionSize + 1));
    if (!section) return;
    section[MaxSectionSize] = 0;
    int raw = source.Read(section, MaxSectionSize);
    if (raw < 0) raw = 0;
    if (raw > MaxSectionSize) raw = MaxSectionSize;
    textLength = DecodeSection(section, raw);
    // Decoding only shortens the text; give back what it does not use.
    char* fitted = static_cast<char*>(realloc(section, (size_t)textLength + 1));
    text = fitted ? fitted : section;
    IndexLines();
}

// Indexes every line that starts after a line end and leaves room for a key and one
// more character. The marker's line (offset 0) is left out: the scan still sees it.
void LanguageResources::IndexLines() {
    for (int k = 1; k <= textLength - (KeyLength + 1); ++k) {
        if (text[k - 1] == LineEnd && text[k] != LineEnd) lineIndex.Append(k);
    }
    const char* t = text;
    std::sort(lineIndex.data, lineIndex.data + lineIndex.count,
              [t](int a, int b) { return KeyLess(t, a, b); });
}
