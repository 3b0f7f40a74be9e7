// Error codes recorded by precedence, and the fatal out-of-memory exception.
#include "support/errorstate.h"

#ifndef _WIN32
// The program builds its global objects in a fixed order in startup/globals_win.cpp; the
// native build (tests, fuzzing, benchmarks) has no start-up of its own and keeps it here.
ErrorState Errors;
#endif

// A weak code (not found, user break) never hides an earlier one, and a read error only
// replaces a not-found; anything else is the most serious news and always wins. Every
// call counts, stored or not.
void ErrorState::RecordCode(int code) {
    bool store;
    if (code == NotFoundCode || code == UserBreakCode) store = errorCode == 0;
    else if (code == ReadErrorCode) store = errorCode == 0 || errorCode == NotFoundCode;
    else store = true;
    if (store) errorCode = code;
    ++errorCount;
}

// Throws the code as a plain int. Nothing catches it: the run ends through the runtime's
// terminate handler, which is what we want when memory has run out.
void ErrorState::RaiseFatal(int code) {
    if (code == UserBreakCode && !raiseCode255) return;
    Errors.RecordCode(code);
    throw code;
}

void ErrorState::OutOfMemory() {
    RaiseFatal(OutOfMemoryCode);
    throw OutOfMemoryCode;  // not reached: code 8 is never ignored
}

// The language file is the only file we read, and a failure there just leaves the texts
// untranslated, so these have nothing to tell anyone.
void ErrorState::NotifyCloseFailed(const char*) {}
void ErrorState::NotifyReadFailed(const char*) {}
void ErrorState::NotifySeekFailed(const char*) {}
bool ErrorState::ConfirmReadRetry(const char*) { return false; }
