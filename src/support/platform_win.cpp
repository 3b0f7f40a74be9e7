// Platform probes: the Windows family, the ANSI code page, file existence.
#include <windows.h>

#include "support/pathutil.h"
#include "support/platform.h"

namespace {
int CachedPlatformId = -1;
int CachedMajorVersion = 0;
}  // namespace

int WinNtVersion() {
    if (CachedPlatformId == -1) {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof(info);  // 148 bytes, the narrow record
        if (GetVersionExA(&info)) {
            CachedPlatformId = (int)info.dwPlatformId;
            CachedMajorVersion = (int)info.dwMajorVersion;
        }
    }
    if (CachedPlatformId == VER_PLATFORM_WIN32_NT) return CachedMajorVersion ? CachedMajorVersion : 1;
    return 0;
}

void ResetWinNtVersionCache() { CachedPlatformId = -1; }

int CompareNamesNoCase(const char* a, const char* b) {
    int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1);
    return r == 0 ? -2 : r - 2;
}

bool FileExists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

void FillLeadByteTable(LeadByteTable& table) {
    CPINFO info = {};
    table.multiByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    for (int b = 0; b < 256; ++b) table.isLeadByte[b] = IsDBCSLeadByte((BYTE)b) != 0;
}
