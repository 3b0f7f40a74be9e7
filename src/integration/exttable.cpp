// The fixed data of the associations and the small rules that decide on it.
#include "integration/exttable.h"

#include <cstring>

#include "support/pathutil.h"

const char ArchiveClassName[] = "Kolvex";
const char ZipClassName[] = "Kolvex.ZIP";

const char KvxDataFileName[] = "kvxnew.dat";
const char ZipDataFileName[] = "zipnew.dat";

// A scanner that finds an archive signature in a program file may take the program for an
// archive; the signatures are therefore completed only in memory, just before use.
unsigned char KvxTemplate[KvxTemplateSize] = {
    0x00, 0x76, 0x78, 0x21, 0x1A, 0x07, 0x00,  // "Kvx!" 1A 07 00, first byte set at run time
    0xCF, 0x90,                                // header check value: low half of the CRC-32 of bytes 9-19
    0x73,                                      // header type
    0x00, 0x00,                                // header flags
    0x0D, 0x00,                                // header size 13
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,        // reserved
};
// End of the central directory of a ZIP archive without entries or comment.
unsigned char ZipTemplate[ZipTemplateSize] = {0x00, 0x4B, 0x05, 0x06};

void CompleteTemplates() {
    KvxTemplate[0] = 'K';
    ZipTemplate[0] = 'P';
}

// Copies the extension at the start of the list into ext and returns where the next one
// starts; null when the list is used up, or when an extension does not fit (ext is then empty).
const char* NextExtension(const char* list, char* ext, size_t size) {
    if (size) ext[0] = 0;
    if (!*list) return nullptr;
    const char* end = strchr(list + 1, '.');
    if (!end) end = list + strlen(list);
    size_t len = (size_t)(end - list);
    if (len >= size) return nullptr;
    memcpy(ext, list, len);
    ext[len] = 0;
    return end;
}

// The first extension of a format names the key under which its choice is saved.
bool FirstExtension(int slot, char* ext, size_t size) {
    if (slot < 0 || slot >= FormatSlots) return false;
    return NextExtension(FormatExtensions[slot], ext, size) != nullptr;
}

static bool EqualNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? (char)(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? (char)(*b - 'A' + 'a') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// Both names are plain ASCII, so folding ASCII letters is enough: no byte of a double-byte
// character can match one of their letters.
bool IsKolvexClass(const char* className) {
    return EqualNoCase(className, ArchiveClassName) || EqualNoCase(className, ZipClassName);
}

// Associating takes the first thirty volume names on the NT family and all hundred on the 9x
// family; giving back always walks all hundred, whichever family took them.
int VolumeCountToAssociate(bool ntFamily) { return ntFamily ? 30 : 100; }

bool VolumeExtension(int number, char* ext, size_t size) {
    return FormatWhole(ext, size, ".k%02d", number);
}

// Windows 95, 98 and NT 4.0 (major version 4, minor 0 or 10) take a new file's bytes from the
// registry; Windows Me, 2000 and later want the name of a template file.
bool NewMenuUsesDataFile(unsigned long majorVersion, unsigned long minorVersion) {
    return majorVersion > 4 || minorVersion > 10;
}

// The backup keeps the previous owner's template file, or "*" for an owner that made new
// files empty ("NullFile").
const char* ShellNewBackupValue(const char* fileName, bool hadNullFile) {
    if (fileName[0]) return fileName;
    return hadNullFile ? "*" : "";
}
