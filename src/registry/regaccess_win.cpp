// The registry access layer over the narrow Win32 registry functions.
#include "registry/regaccess.h"

#include <cstring>

#include "support/pathutil.h"
#include "support/platform.h"

namespace {

// Added to the access mask of every call. The shipped program leaves it 0 (the process's own
// view); the tests of the 64-bit build set KEY_WOW64_32KEY to see the registry as the 32-bit
// program sees it on 64-bit Windows.
REGSAM BaseView = 0;
// KEY_WOW64_64KEY while the 64-bit shell extension's class keys are written, else 0. It
// replaces the base view for key creation only: the two view flags cannot be combined.
REGSAM WriteView = 0;

REGSAM WriteAccessView() { return WriteView ? WriteView : BaseView; }

// Owns one open key: closes it when it goes, or earlier through Close(), whose result the
// writers report.
class RegKey {
public:
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    bool Close() {
        bool closed = CloseRegKey(key_);
        key_ = nullptr;
        return closed;
    }
private:
    HKEY key_;
};

template <size_t N>
bool MakeRegPath(HKEY root, char (&dest)[N], const char* path) {
    return MakeRegPath(root, dest, path, N);
}

// RegDeleteKeyA always works in the process's own view; a chosen view needs RegDeleteKeyExA,
// which older systems lack, so it is looked up only when a view is asked for.
LONG DeleteSingleKeyInView(HKEY root, const char* path, REGSAM view) {
    if (view == 0) return RegDeleteKeyA(root, path);
    typedef LONG(WINAPI * DeleteKeyExFn)(HKEY, LPCSTR, REGSAM, DWORD);
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    DeleteKeyExFn deleteKeyEx =
        advapi ? (DeleteKeyExFn)(void*)GetProcAddress(advapi, "RegDeleteKeyExA") : nullptr;
    if (!deleteKeyEx) return view == BaseView ? RegDeleteKeyA(root, path) : ERROR_CALL_NOT_IMPLEMENTED;
    return deleteKeyEx(root, path, view, 0);
}

LONG DeleteSingleKey(HKEY root, const char* path) { return DeleteSingleKeyInView(root, path, BaseView); }

bool SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size) {
    RegKey key(OpenRegKeyForWrite(root, path));
    if (!key) return false;
    bool written = RegSetValueExA(key.Get(), name, 0, type, (const BYTE*)data, size) == ERROR_SUCCESS;
    return key.Close() && written;
}

// The registry hands a string back exactly as it was stored, which need not end in a zero:
// one that came without its terminator gets one here, and one that fills the buffer to the
// last byte without a terminator does not fit.
bool ReadText(HKEY root, const char* path, const char* name, char* buffer, DWORD size) {
    if (size == 0) return false;
    RegKey key(OpenRegKeyForRead(root, path));
    if (!key) return false;
    DWORD got = size;
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, (BYTE*)buffer, &got) != ERROR_SUCCESS)
        return false;
    if (got < size) {
        buffer[got] = 0;
        return true;
    }
    return buffer[size - 1] == 0;
}

// The default is plain text, not a path, so a default longer than the buffer is cut to fit.
void CopyDefault(char* buffer, DWORD size, const char* defaultText) {
    if (size == 0) return;
    FormatTo(buffer, size, "%s", defaultText ? defaultText : "");
}

// One pass of the recursive deletion: every subkey first, then the key itself. Deleting a
// child moves its later siblings down in the enumeration, so the pass steps over some of them;
// the caller repeats passes until one deletes nothing.
void DeletePass(HKEY root, const char* path, int& deleted) {
    if (!*path) return;  // never a root key itself
    HKEY opened;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | BaseView, &opened) != ERROR_SUCCESS) return;
    RegKey key(opened);
    char name[200];
    char child[512];
    for (DWORD index = 0;; ++index) {
        DWORD nameLen = sizeof(name);
        LONG r = RegEnumKeyExA(key.Get(), index, name, &nameLen, nullptr, nullptr, nullptr, nullptr);
        // A name or child path too long for the buffers: that subtree stays, its siblings go.
        if (r == ERROR_MORE_DATA) continue;
        if (r != ERROR_SUCCESS) break;
        if (!FormatWhole(child, "%s\\%s", path, name)) continue;
        DeletePass(root, child, deleted);
    }
    key.Close();
    if (DeleteSingleKey(root, path) == ERROR_SUCCESS) ++deleted;
}

}  // namespace

bool MakeRegPath(HKEY root, char* dest, const char* path, size_t size) {
    return MapRegPath(root == HKEY_CURRENT_USER, dest, size, path);
}

HKEY OpenRegKeyForWrite(HKEY root, const char* path) {
    char mapped[RegPathBufferSize];
    if (!MakeRegPath(root, mapped, path)) return nullptr;
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, mapped, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | WriteAccessView(),
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenRegKeyForRead(HKEY root, const char* path) {
    char mapped[RegPathBufferSize];
    if (!MakeRegPath(root, mapped, path)) return nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, mapped, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | BaseView, &key) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool CloseRegKey(HKEY key) { return key && RegCloseKey(key) == ERROR_SUCCESS; }

bool SetRegString(HKEY root, const char* path, const char* name, const char* text) {
    return SetValue(root, path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

bool SetRegDword(HKEY root, const char* path, const char* name, DWORD value) {
    return SetValue(root, path, name, REG_DWORD, &value, sizeof(value));
}

bool SetRegBinary(HKEY root, const char* path, const char* name, const void* data, DWORD size) {
    return SetValue(root, path, name, REG_BINARY, data, size);
}

bool SetUserString(const char* path, const char* name, const char* text) {
    return SetRegString(HKEY_CURRENT_USER, path, name, text);
}

bool SetUserDword(const char* path, const char* name, DWORD value) {
    return SetRegDword(HKEY_CURRENT_USER, path, name, value);
}

bool GetRegString(HKEY root, const char* path, const char* name, char* buffer,
                  const char* defaultText, DWORD size) {
    if (ReadText(root, path, name, buffer, size)) return true;
    CopyDefault(buffer, size, defaultText);
    return false;
}

bool GetUserString(const char* path, const char* name, char* buffer, const char* defaultText,
                   DWORD size) {
    return GetRegString(HKEY_CURRENT_USER, path, name, buffer, defaultText, size);
}

// A value shorter than four bytes counts as unreadable rather than as a number with
// undefined high bytes.
bool QueryRegDword(HKEY root, const char* path, const char* name, DWORD* value, DWORD defaultValue) {
    *value = defaultValue;
    RegKey key(OpenRegKeyForRead(root, path));
    if (!key) return false;
    DWORD data = 0;
    DWORD got = sizeof(data);
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, (BYTE*)&data, &got) != ERROR_SUCCESS ||
        got != sizeof(data))
        return false;
    *value = data;
    return true;
}

DWORD GetRegDword(HKEY root, const char* path, const char* name, DWORD defaultValue) {
    DWORD value;
    QueryRegDword(root, path, name, &value, defaultValue);
    return value;
}

DWORD GetUserDword(const char* path, const char* name, DWORD defaultValue) {
    return GetRegDword(HKEY_CURRENT_USER, path, name, defaultValue);
}

// An empty mapped path would name the root itself, which is never deleted.
void DeleteRegKey(HKEY root, const char* path) {
    char mapped[RegPathBufferSize];
    if (!MakeRegPath(root, mapped, path) || !mapped[0]) return;
    DeleteSingleKey(root, mapped);
}

// For the keys that the 64-bit write view wrote: the 32-bit program on 64-bit Windows does not
// reach them through its own view. Does nothing where the system has no such view.
void DeleteRegKeyIn64BitView(HKEY root, const char* path) {
    char mapped[RegPathBufferSize];
    if (!MakeRegPath(root, mapped, path) || !mapped[0]) return;
    DeleteSingleKeyInView(root, mapped, KEY_WOW64_64KEY);
}

// Deletion works in the process's own view even while the 64-bit write view is on.
void DeleteRegValue(HKEY root, const char* path, const char* name) {
    char mapped[RegPathBufferSize];
    if (!MakeRegPath(root, mapped, path)) return;
    HKEY opened;
    if (RegOpenKeyExA(root, mapped, 0, KEY_WRITE | BaseView, &opened) != ERROR_SUCCESS) return;
    RegKey key(opened);
    RegDeleteValueA(key.Get(), name);
}

void DeleteRegTree(HKEY root, const char* path) {
    char mapped[RegPathBufferSize];
    if (!MakeRegPath(root, mapped, path)) return;
    DeleteKeyRecursive(root, mapped);
}

// On the 9x family RegDeleteKeyA takes a key with all its subkeys; on the NT family it refuses
// a key that has subkeys, so the tree is taken apart in passes. What cannot be deleted (a key
// without delete rights) stays: the last pass is one that deletes nothing.
void DeleteKeyRecursive(HKEY root, const char* path) {
    if (!*path) return;
    if (WinNtVersion() == 0 && DeleteSingleKey(root, path) == ERROR_SUCCESS) return;
    for (;;) {
        int deleted = 0;
        DeletePass(root, path, deleted);
        if (deleted == 0) break;
    }
}

namespace {
HKEY OpenForQuery(HKEY root, const char* path) {
    char mapped[RegPathBufferSize];
    if (!MakeRegPath(root, mapped, path)) return nullptr;
    HKEY opened;
    if (RegOpenKeyExA(root, mapped, 0, KEY_QUERY_VALUE | BaseView, &opened) != ERROR_SUCCESS) return nullptr;
    return opened;
}
}  // namespace

bool RegKeyExists(HKEY root, const char* path) { return (bool)RegKey(OpenForQuery(root, path)); }

// Asks for the value without reading it, so that its size does not matter.
bool RegValueExists(HKEY root, const char* path, const char* name) {
    RegKey key(OpenForQuery(root, path));
    return key && RegQueryValueExA(key.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// True for a key that exists and holds neither values (not even a default value) nor subkeys.
bool RegKeyIsEmpty(HKEY root, const char* path) {
    RegKey key(OpenRegKeyForRead(root, path));
    if (!key) return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subkeys == 0 && values == 0;
}

void SetRegistry64View(bool on) { WriteView = on ? KEY_WOW64_64KEY : 0; }

void SetRegistryBaseView(REGSAM view) { BaseView = view; }

REGSAM RegistryBaseView() { return BaseView; }
