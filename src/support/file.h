// A read-only view of one open file with 64-bit positions, closed when it goes.
#pragma once
#include <windows.h>

#include <cstdint>

class File {
public:
    File() = default;
    virtual ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const char* name, bool update, bool shareWrite);
    bool Close();
    int Read(void* buffer, int count);
    void Seek(int64_t offset, int origin);
    int64_t Tell();

    HANDLE handle = INVALID_HANDLE_VALUE;
    char fileName[1024] = "";
    // 0: no error; FileNotFound after a failed open of a missing file; FileReadFailed.
    int lastError = 0;
};

constexpr int FileNotFound = 1;
constexpr int FileReadFailed = 2;

// Every open File, in the first free slot; a File opened while all are taken has none.
constexpr int MaxOpenFiles = 256;
extern File* OpenFiles[MaxOpenFiles];
