// The archive formats' file extensions, the type classes they point at, and the templates of
// new empty archives: the fixed data of the associations, free of Win32.
#pragma once
#include <cstddef>
#include <iterator>

#include "setupui/options.h"

// One list per format, in option slot order; a list is split at every dot after its first
// character (".lzh.lha" names .lzh and .lha).
inline constexpr const char* FormatExtensions[] = {
    ".kvx", ".zip", ".cab", ".arj", ".lzh.lha", ".ace", ".7z",
    ".tar", ".gz.tgz", ".uue.xxe.uu", ".bz2.tbz2.bz.tbz", ".jar", ".iso", ".z.taz",
};
static_assert(std::size(FormatExtensions) == FormatSlots, "one extension list per format slot");

// Room for any single extension of the lists, with its terminator.
constexpr size_t MaxExtensionSize = 32;

// The classes that the setup writes; an extension pointing at either one is ours.
extern const char ArchiveClassName[];
extern const char ZipClassName[];

const char* NextExtension(const char* list, char* ext, size_t size);
template <size_t N>
const char* NextExtension(const char* list, char (&ext)[N]) {
    return NextExtension(list, ext, N);
}
bool FirstExtension(int slot, char* ext, size_t size);
template <size_t N>
bool FirstExtension(int slot, char (&ext)[N]) {
    return FirstExtension(slot, ext, N);
}

bool IsKolvexClass(const char* className);

// Old-style volume names of KVX archives: .k00, .k01, ...
constexpr int GivenBackVolumeCount = 100;
int VolumeCountToAssociate(bool ntFamily);
bool VolumeExtension(int number, char* ext, size_t size);
template <size_t N>
bool VolumeExtension(int number, char (&ext)[N]) {
    return VolumeExtension(number, ext, N);
}

bool NewMenuUsesDataFile(unsigned long majorVersion, unsigned long minorVersion);
const char* ShellNewBackupValue(const char* fileName, bool hadNullFile);

// The empty archives behind Explorer's New menu. Their first bytes are 0 until
// CompleteTemplates() runs, so that the program file never holds either signature whole.
constexpr size_t KvxTemplateSize = 20;
constexpr size_t ZipTemplateSize = 22;
extern unsigned char KvxTemplate[KvxTemplateSize];
extern unsigned char ZipTemplate[ZipTemplateSize];
void CompleteTemplates();

extern const char KvxDataFileName[];
extern const char ZipDataFileName[];
