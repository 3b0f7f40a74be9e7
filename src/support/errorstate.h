// The process-wide record of error conditions and the one fatal error, out of memory.
#pragma once

// Error codes that the precedence rule knows. Only OutOfMemoryCode is ever raised here.
constexpr int NotFoundCode = 1;
constexpr int ReadErrorCode = 2;
constexpr int OutOfMemoryCode = 8;
constexpr int UserBreakCode = 255;

class ErrorState {
public:
    void RecordCode(int code);
    void RaiseFatal(int code);
    [[noreturn]] void OutOfMemory();

    // What File tells about its failures. None of them is shown to the user.
    void NotifyCloseFailed(const char* fileName);
    void NotifyReadFailed(const char* fileName);
    void NotifySeekFailed(const char* fileName);
    bool ConfirmReadRetry(const char* fileName);

    int errorCode = 0;
    int errorCount = 0;
    bool raiseCode255 = true;
};

// The one instance of the process (built in startup/globals_win.cpp on Windows).
extern ErrorState Errors;
