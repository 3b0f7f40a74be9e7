// File access through the system's file handles, reporting failures to the error state.
#include "support/file.h"

#include "support/errorstate.h"
#include "support/pathutil.h"

File* OpenFiles[MaxOpenFiles];

namespace {
// Consoles and pipes refused large reads on some systems; such a read is tried again
// with this many bytes.
const int DeviceReadLimit = 20000;

void Register(File* file) {
    for (File*& slot : OpenFiles) {
        if (!slot) {
            slot = file;
            return;
        }
    }
}

void Unregister(File* file) {
    for (File*& slot : OpenFiles) {
        if (slot == file) {
            slot = nullptr;
            return;
        }
    }
}

int ReadOnce(HANDLE handle, void* buffer, int count) {
    DWORD done = 0;
    if (count < 0) return -1;
    if (ReadFile(handle, buffer, (DWORD)count, &done, nullptr)) return (int)done;
    DWORD type = GetFileType(handle);
    if ((type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) && count > DeviceReadLimit) {
        if (ReadFile(handle, buffer, DeviceReadLimit, &done, nullptr)) return (int)done;
    }
    return -1;
}
}  // namespace

File::~File() {
    if (handle != INVALID_HANDLE_VALUE) Close();
}

bool File::Open(const char* name, bool update, bool shareWrite) {
    lastError = 0;
    DWORD access = GENERIC_READ | (update ? GENERIC_WRITE : 0);
    DWORD share = FILE_SHARE_READ | (shareWrite ? FILE_SHARE_WRITE : 0);
    HANDLE opened = CreateFileA(name, access, share, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) lastError = FileNotFound;
        return false;
    }
    // An object opened twice would otherwise leak its first handle.
    if (handle != INVALID_HANDLE_VALUE) Close();
    handle = opened;
    // The name only goes into failure notices, so a name too long for them is cut.
    FormatTo(fileName, "%s", name);
    Register(this);
    return true;
}

bool File::Close() {
    if (handle == INVALID_HANDLE_VALUE) return true;
    bool closed = CloseHandle(handle) != 0;
    Unregister(this);
    handle = INVALID_HANDLE_VALUE;
    if (!closed) Errors.NotifyCloseFailed(fileName);
    return closed;
}

// Bytes read, 0 at the end of the file, -1 on failure.
int File::Read(void* buffer, int count) {
    for (;;) {
        int result = ReadOnce(handle, buffer, count);
        if (result != -1) return result;
        lastError = FileReadFailed;
        if (!Errors.ConfirmReadRetry(fileName)) break;
    }
    Errors.NotifyReadFailed(fileName);
    return -1;
}

void File::Seek(int64_t offset, int origin) {
    if (handle == INVALID_HANDLE_VALUE) return;
    LONG high = (LONG)(offset >> 32);
    // A position whose low part is all ones is valid, so only the last error tells a failure.
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(handle, (LONG)(uint32_t)offset, &high, (DWORD)origin);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) Errors.NotifySeekFailed(fileName);
}

// The current position, or -1 when the system cannot tell it.
int64_t File::Tell() {
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(handle, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        Errors.NotifySeekFailed(fileName);
        return -1;
    }
    return (int64_t)(((uint64_t)(uint32_t)high << 32) | low);
}
