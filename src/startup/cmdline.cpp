// Parsing of the program's command-line switches.
#include "startup/cmdline.h"

#include <cstring>

namespace {
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

// The word matches when it begins with prefix, in any letter case.
bool BeginsWith(const char* word, const char* prefix) {
    for (; *prefix; ++word, ++prefix) {
        if (ToLowerAscii(*word) != *prefix) return false;  // also stops at the word's end
    }
    return true;
}

bool IsSilentSwitch(const char* word) {
    return (word[0] == 's' || word[0] == 'S') && !IsAsciiLetter(word[1]);
}
}  // namespace

CommandLine ParseCommandLine(const char* text, SwitchActions& actions) {
    CommandLine result;
    if (!text) return result;
    // A switch character anywhere starts a switch, even inside a word, and the search for
    // the next one goes on right behind it: "/s-wait" is two switches.
    for (const char* p = strpbrk(text, "/-"); p; p = strpbrk(p, "/-")) {
        const char* word = ++p;
        if (BeginsWith(word, "setup")) {
            result.setup = true;
        } else if (IsSilentSwitch(word)) {
            result.silent = true;
            --result.switchCount;  // /s alone still means uninstall
        } else if (BeginsWith(word, "wait")) {
            actions.Wait();
        } else if (BeginsWith(word, "warning")) {
            actions.Warning();
        }
        ++result.switchCount;
    }
    return result;
}
