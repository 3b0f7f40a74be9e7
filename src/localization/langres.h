// The translation table read from the language file "uninstall.lng".
#pragma once
#include <cstddef>
#include <cstdint>

#include "localization/array.h"

// The window handle type of <windows.h>, named without including it here.
struct HWND__;

// Selects the prefix character that goes into a translation key.
enum class TextKind { Message = 0, Dialog = 1, Other = 2 };

// The reads the loader makes on the open language file: the program feeds it from a File,
// tests and the fuzzer from memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Current position, negative when it cannot be told.
    virtual int64_t Tell() = 0;
    // Bytes read (at most count), 0 at the end, -1 on failure.
    virtual int Read(void* buffer, int count) = 0;
    virtual void SeekFromStart(int64_t offset) = 0;
};

// The marker is searched for in this many overlapping blocks of this size; the section
// after it is held up to MaxSectionSize bytes.
constexpr int MarkerBlockSize = 8192;
constexpr int MarkerSearchBlocks = 64;
constexpr int MarkerMinBytes = 16;
constexpr int MaxSectionSize = 65536;
// An entry line: 8 hex digits, '=', '"', then the translation.
constexpr int KeyLength = 8;
constexpr int EntryTextOffset = 10;
// Lines end in this character inside the decoded text.
constexpr char LineEnd = '\f';
// Size of the buffers that take dialog texts and the direction probe.
constexpr int DialogTextSize = 1024;

class LanguageResources {
public:
    LanguageResources() = default;
    ~LanguageResources() { Clear(); }
    LanguageResources(const LanguageResources&) = delete;
    LanguageResources& operator=(const LanguageResources&) = delete;

    void Init(const char* fileName);
    void LoadFile(const char* fileName);
    void LoadText(ByteSource& source);
    void DetectDirection();
    bool DirectionEntrySaysRtl() const;
    // Back to the empty state (no text, left to right).
    void Clear();
    bool IsLoaded() const { return text != nullptr; }

    // Translates source into dest (which may be the same buffer), never writing more than
    // destSize bytes. Untranslated texts are copied as they are (cut to fit).
    void Translate(const char* source, char* dest, size_t destSize, const char* context,
                   TextKind kind) const;
    template <size_t N>
    void Translate(const char* source, char (&dest)[N], const char* context, TextKind kind) const {
        Translate(source, dest, N, context, kind);
    }
    const char* FindSorted(const char* key) const;
    const char* FindScan(const char* key) const;

    // Dialogs (localization/dlglocal*.cpp).
    void LocalizeDialog(HWND__* dialog, const char* dialogName, bool propertyPage) const;
    bool GetDialogScale(const char* dialogName, int& widthPercent, int& heightPercent) const;
    void ApplyReadingDirection(HWND__* window) const;

    char* text = nullptr;
    int textLength = 0;
    Array<int> lineIndex;
    bool rightToLeft = false;

private:
    void IndexLines();
    const char* FindEntry(const char* source, const char* context, TextKind kind) const;
};

// Offset of the section marker "***messages**", or -1 when the searched blocks lack it.
int64_t FindSectionMarker(ByteSource& source);
// Resolves escapes and turns line ends into LineEnd, in place; returns the new length.
int DecodeSection(char* text, int rawLength);
// The 8 lower-case hex digits (and a terminator) that key a text; false for a kind
// without a prefix.
bool MakeTranslationKey(char (&key)[KeyLength + 1], const char* source, const char* context,
                        TextKind kind);
// The language file's full path: a name with a backslash as it is, otherwise the name in
// the program's folder. False (dest empty) when there is no folder or the path is too long.
bool LanguageFilePath(char* dest, size_t destSize, const char* programPath, const char* name);

// The one table of the process.
extern LanguageResources Language;
