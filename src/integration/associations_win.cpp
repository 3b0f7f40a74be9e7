// Extension associations: taking an extension with a backup of its owner, and giving it back.
#include "integration/associations.h"

#include <windows.h>

#include <cstdio>

#include "integration/exttable.h"
#include "registry/regaccess.h"
#include "support/pathutil.h"
#include "support/platform.h"

namespace {

// The key paths that one extension's association works on.
struct ExtKeys {
    const char* Ext;                         // HKEY_CLASSES_ROOT\<ext>
    char ShellNew[RegPathBufferSize];        // HKEY_CLASSES_ROOT\<ext>\ShellNew
    char Backup[RegPathBufferSize];          // Setup\<ext> below the settings key
};

bool MakeExtKeys(const char* ext, ExtKeys& keys) {
    keys.Ext = ext;
    return FormatWhole(keys.ShellNew, "%s\\ShellNew", ext) && FormatWhole(keys.Backup, "Setup\\%s", ext);
}

// Records the owner that the extension is taken from: whether its key existed, its class,
// content type and New-menu template.
void TakeBackup(const ExtKeys& keys) {
    char type[512];
    char content[512];
    char fileName[1024];
    GetRegString(HKEY_CLASSES_ROOT, keys.Ext, "", type, "");
    GetRegString(HKEY_CLASSES_ROOT, keys.Ext, "Content Type", content, "");
    GetRegString(HKEY_CLASSES_ROOT, keys.ShellNew, "FileName", fileName, "");
    // Only whether "NullFile" is there counts; its value may be of any length.
    bool hadNullFile = RegValueExists(HKEY_CLASSES_ROOT, keys.ShellNew, "NullFile");
    SetUserDword(keys.Backup, "Exist", RegKeyExists(HKEY_CLASSES_ROOT, keys.Ext) ? 1 : 0);
    SetUserString(keys.Backup, "Type", type);
    SetUserString(keys.Backup, "Content", content);
    SetUserString(keys.Backup, "ShellNew", ShellNewBackupValue(fileName, hadNullFile));
}

void AssociateVolumes(int count) {
    char name[MaxExtensionSize];
    for (int n = 0; n < count; ++n) {
        if (!VolumeExtension(n, name)) continue;
        SetRegString(HKEY_CLASSES_ROOT, name, "", ArchiveClassName);
        DeleteRegValue(HKEY_CLASSES_ROOT, name, "Content Type");
    }
}

// The data file lies next to the running program, in the installation folder.
bool DataFilePath(char (&path)[1024], const char* fileName) {
    DWORD len = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (len == 0 || len >= sizeof(path)) return false;
    char* name = GetNamePart(path);
    return CopyWhole(name, sizeof(path) - (size_t)(name - path), fileName);
}

// A template that could not be written whole would make every new archive a broken one, and
// an existing file is never rewritten: a partial file is removed again.
void WriteTemplateFile(const char* path, const unsigned char* data, size_t size) {
    FILE* file = fopen(path, "wb");
    if (!file) return;
    bool whole = fwrite(data, 1, size, file) == size;
    if (fclose(file) != 0) whole = false;
    if (!whole) remove(path);
}

bool UsesNewMenuDataFile() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);  // 148 bytes, the narrow record
    if (!GetVersionExA(&info)) return false;
    return NewMenuUsesDataFile(info.dwMajorVersion, info.dwMinorVersion);
}

// Replaces the previous owner's New-menu entry (backed up when the extension was taken) by
// an empty KVX or ZIP archive.
void WriteNewMenuEntry(const ExtKeys& keys, bool isKvx) {
    const unsigned char* data = isKvx ? KvxTemplate : ZipTemplate;
    size_t size = isKvx ? KvxTemplateSize : ZipTemplateSize;
    DeleteRegKey(HKEY_CLASSES_ROOT, keys.ShellNew);
    if (!UsesNewMenuDataFile()) {
        SetRegBinary(HKEY_CLASSES_ROOT, keys.ShellNew, "Data", data, (DWORD)size);
        return;
    }
    char path[1024];
    if (!DataFilePath(path, isKvx ? KvxDataFileName : ZipDataFileName)) return;
    if (!FileExists(path)) WriteTemplateFile(path, data, size);
    SetRegString(HKEY_CLASSES_ROOT, keys.ShellNew, "FileName", path);
}

void Associate(const ExtKeys& keys, bool shellNew, bool isKvx, bool isZip) {
    // An extension that is ours already keeps the backup of the owner it was taken from.
    if (!IsOurExtension(keys.Ext)) TakeBackup(keys);
    SetRegString(HKEY_CLASSES_ROOT, keys.Ext, "", isZip ? ZipClassName : ArchiveClassName);
    DeleteRegValue(HKEY_CLASSES_ROOT, keys.Ext, "Content Type");
    if (isKvx) AssociateVolumes(VolumeCountToAssociate(WinNtVersion() != 0));
    if (shellNew && (isKvx || isZip)) WriteNewMenuEntry(keys, isKvx);
}

// An empty text means the owner had no such value, so the value goes rather than being left
// empty: a key without a default value stays without one.
void SetOrDeleteString(const char* path, const char* name, const char* text) {
    if (text[0]) SetRegString(HKEY_CLASSES_ROOT, path, name, text);
    else DeleteRegValue(HKEY_CLASSES_ROOT, path, name);
}

// Our template goes whichever way it was written ("FileName" on newer systems, "Data" on
// Windows 95, 98 and NT 4.0); then the owner's own entry comes back.
void RestoreNewMenuEntry(const ExtKeys& keys) {
    char shellNew[1024];
    GetUserString(keys.Backup, "ShellNew", shellNew, "");
    DeleteRegValue(HKEY_CLASSES_ROOT, keys.ShellNew, "FileName");
    DeleteRegValue(HKEY_CLASSES_ROOT, keys.ShellNew, "Data");
    if (shellNew[0] == '*') {
        SetRegString(HKEY_CLASSES_ROOT, keys.ShellNew, "NullFile", "");
    } else if (shellNew[0]) {
        SetRegString(HKEY_CLASSES_ROOT, keys.ShellNew, "FileName", shellNew);
    } else if (RegKeyIsEmpty(HKEY_CLASSES_ROOT, keys.ShellNew)) {
        DeleteRegKey(HKEY_CLASSES_ROOT, keys.ShellNew);  // the key was only ours
    }
}

void GiveBackVolumes(bool exist, const char* type, const char* content) {
    char name[MaxExtensionSize];
    for (int n = 0; n < GivenBackVolumeCount; ++n) {
        if (!VolumeExtension(n, name)) continue;
        if (exist && type[0]) {
            SetRegString(HKEY_CLASSES_ROOT, name, "", type);
            if (content[0]) SetRegString(HKEY_CLASSES_ROOT, name, "Content Type", content);
        } else {
            DeleteRegKey(HKEY_CLASSES_ROOT, name);
        }
    }
}

void GiveBack(const ExtKeys& keys, bool isKvx) {
    // An extension that another program has taken since the setup stays with it.
    if (!IsOurExtension(keys.Ext)) return;
    // Without a backup: the key stays, without a class.
    bool exist = GetUserDword(keys.Backup, "Exist", 1) != 0;
    char type[512];
    GetUserString(keys.Backup, "Type", type, "");
    if (IsKolvexClass(type)) type[0] = 0;  // never give an extension back to ourselves
    char content[512];
    GetUserString(keys.Backup, "Content", content, "");
    if (exist) {
        SetOrDeleteString(keys.Ext, "", type);
        SetOrDeleteString(keys.Ext, "Content Type", content);
        RestoreNewMenuEntry(keys);
    } else {
        DeleteRegKey(HKEY_CLASSES_ROOT, keys.ShellNew);
        DeleteRegKey(HKEY_CLASSES_ROOT, keys.Ext);
    }
    if (isKvx) GiveBackVolumes(exist, type, content);
}

}  // namespace

void AssociateExtensions(const SetupOptions& options) {
    bool shellNew = options[SlotShellIntegration] != 0;
    for (int slot = 0; slot < FormatSlots; ++slot) {
        char ext[MaxExtensionSize];
        for (const char* rest = FormatExtensions[slot]; (rest = NextExtension(rest, ext));) {
            SetExtensionAssociation(ext, options[slot] != 0, shellNew, slot == SlotKvx, slot == SlotZip);
        }
    }
}

void SetExtensionAssociation(const char* ext, bool associate, bool shellNew, bool isKvx, bool isZip) {
    CompleteTemplates();
    ExtKeys keys;
    if (!MakeExtKeys(ext, keys)) return;
    if (associate) Associate(keys, shellNew, isKvx, isZip);
    else GiveBack(keys, isKvx);
}

// The class is read into a small buffer on purpose: a class that does not fit is not one of
// ours anyway.
bool IsOurExtension(const char* ext) {
    char className[80];
    GetRegString(HKEY_CLASSES_ROOT, ext, "", className, "");
    return IsKolvexClass(className);
}
