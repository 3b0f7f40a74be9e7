// Owners of a kernel handle and of a C stream: each closes what it holds exactly once.
#pragma once
#include <windows.h>

#include <cstdio>

class OwnedHandle {
public:
    // Takes the result of CreateFileA as it is; INVALID_HANDLE_VALUE holds nothing.
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() { Close(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    void Close() {
        if (Valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
private:
    HANDLE handle_;
};

class OwnedStream {
public:
    explicit OwnedStream(FILE* stream) : stream_(stream) {}
    ~OwnedStream() { Close(); }
    OwnedStream(const OwnedStream&) = delete;
    OwnedStream& operator=(const OwnedStream&) = delete;
    FILE* Get() const { return stream_; }
    // False when buffered data could not be written out.
    bool Close() {
        bool ok = !stream_ || fclose(stream_) == 0;
        stream_ = nullptr;
        return ok;
    }
private:
    FILE* stream_;
};
