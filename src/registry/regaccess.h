// The one layer through which the program reads, writes, tests and deletes registry keys.
// Every call opens its key, does one thing and closes the key again; no call reports an error
// other than through its result, and readers hand back the caller's default when they fail.
// Key paths follow the rule of registry/regpath.h: at most 236 characters, and relative to
// HKEY_CURRENT_USER\Software\Kolvex under HKEY_CURRENT_USER.
#pragma once
#include <windows.h>

#include <cstddef>

#include "registry/regpath.h"

bool MakeRegPath(HKEY root, char* dest, const char* path, size_t size);

HKEY OpenRegKeyForWrite(HKEY root, const char* path);
HKEY OpenRegKeyForRead(HKEY root, const char* path);
bool CloseRegKey(HKEY key);

bool SetRegString(HKEY root, const char* path, const char* name, const char* text);
bool SetRegDword(HKEY root, const char* path, const char* name, DWORD value);
bool SetRegBinary(HKEY root, const char* path, const char* name, const void* data, DWORD size);
bool SetUserString(const char* path, const char* name, const char* text);
bool SetUserDword(const char* path, const char* name, DWORD value);

bool GetRegString(HKEY root, const char* path, const char* name, char* buffer,
                  const char* defaultText, DWORD size);
bool GetUserString(const char* path, const char* name, char* buffer, const char* defaultText,
                   DWORD size);
template <size_t N>
bool GetRegString(HKEY root, const char* path, const char* name, char (&buffer)[N],
                  const char* defaultText) {
    return GetRegString(root, path, name, buffer, defaultText, (DWORD)N);
}
template <size_t N>
bool GetUserString(const char* path, const char* name, char (&buffer)[N], const char* defaultText) {
    return GetUserString(path, name, buffer, defaultText, (DWORD)N);
}

bool QueryRegDword(HKEY root, const char* path, const char* name, DWORD* value, DWORD defaultValue);
DWORD GetRegDword(HKEY root, const char* path, const char* name, DWORD defaultValue);
DWORD GetUserDword(const char* path, const char* name, DWORD defaultValue);

void DeleteRegKey(HKEY root, const char* path);
void DeleteRegKeyIn64BitView(HKEY root, const char* path);
void DeleteRegValue(HKEY root, const char* path, const char* name);
void DeleteRegTree(HKEY root, const char* path);
void DeleteKeyRecursive(HKEY root, const char* path);

bool RegKeyExists(HKEY root, const char* path);
bool RegValueExists(HKEY root, const char* path, const char* name);
bool RegKeyIsEmpty(HKEY root, const char* path);

void SetRegistry64View(bool on);
void SetRegistryBaseView(REGSAM view);
REGSAM RegistryBaseView();
