// Builds language files for tests, with keys computed by zlib rather than by the program.
#pragma once
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "localization/langres.h"

namespace langtest {

const char Marker[] = "***messages***";

// The key of a text: zlib's CRC-32 of prefix, context and text, as 8 lower-case hex digits.
inline std::string Key(char prefix, const std::string& context, const std::string& source) {
    std::string bytes = std::string(1, prefix) + context + source;
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), (uInt)bytes.size());
    char key[16];
    snprintf(key, sizeof(key), "%08lx", (unsigned long)crc);
    return key;
}
inline std::string MessageKey(const std::string& source) { return Key('s', "", source); }
inline std::string DialogKey(const std::string& context, const std::string& source) {
    return Key('$', context, source);
}

// One entry line: key="translation" and a line end.
inline std::string Entry(const std::string& key, const std::string& translation,
                         const std::string& lineEnd = "\r\n") {
    return key + "=\"" + translation + "\"" + lineEnd;
}

// A language file: a header comment, the marker and the given entry lines.
inline std::string File(const std::string& entries) {
    return "; test language file\r\n" + std::string(Marker) + "\r\n" + entries;
}

// A language file read from memory, with a read that can be made to fail.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    int64_t Tell() override { return pos_; }
    int Read(void* buffer, int count) override {
        ++reads_;
        if (reads_ == failingRead) return -1;
        if (count <= 0 || pos_ >= (int64_t)bytes_.size()) return 0;
        size_t n = std::min((size_t)count, bytes_.size() - (size_t)pos_);
        memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += (int64_t)n;
        return (int)n;
    }
    void SeekFromStart(int64_t offset) override { pos_ = offset < 0 ? 0 : offset; }

    int failingRead = 0;  // 1-based number of the read that fails; 0 for none

private:
    std::string bytes_;
    int64_t pos_ = 0;
    int reads_ = 0;
};

inline void Load(LanguageResources& language, const std::string& bytes) {
    MemorySource source(bytes);
    language.LoadText(source);
}

// Translates a message text (kind "s", no context) into a roomy buffer.
inline std::string TranslateMessage(const LanguageResources& language, const std::string& source) {
    char buffer[1024];
    language.Translate(source.c_str(), buffer, nullptr, TextKind::Message);
    return buffer;
}

}  // namespace langtest
