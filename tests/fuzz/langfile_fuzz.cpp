// Fuzzes the language file reader and every lookup over what it read.
#include <cstdint>
#include <cstring>
#include <string>

#include "localization/dlgscale.h"
#include "localization/langres.h"

namespace {
// The file bytes, read the way the program reads the file (in blocks, with seeks).
class InputSource : public ByteSource {
public:
    InputSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int64_t Tell() override { return pos_; }
    int Read(void* buffer, int count) override {
        if (count <= 0 || pos_ >= (int64_t)size_) return 0;
        size_t n = size_ - (size_t)pos_;
        if (n > (size_t)count) n = (size_t)count;
        memcpy(buffer, data_ + pos_, n);
        pos_ += (int64_t)n;
        return (int)n;
    }
    void SeekFromStart(int64_t offset) override { pos_ = offset < 0 ? 0 : offset; }

private:
    const uint8_t* data_;
    size_t size_;
    int64_t pos_ = 0;
};

const char* const Contexts[] = {nullptr, "SETUPDLG", "DONEDLG", "CONTEXTITEMS", "LTR"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputSource source(data, size);
    LanguageResources language;
    language.LoadText(source);
    if (!language.IsLoaded()) return 0;

    // Every line's first bytes as a key, and as a source text, into buffers of several sizes.
    char small[7];
    char message[512];
    char dialog[DialogTextSize];
    const char* line = language.text;
    for (int n = 0; *line && n < 200; ++n) {
        char key[KeyLength + 1] = {};
        strncpy(key, line, KeyLength);
        language.FindSorted(key);
        language.FindScan(key);
        std::string source(line, strcspn(line, "\f"));
        language.Translate(source.c_str(), small, Contexts[n % 5], TextKind::Message);
        language.Translate(source.c_str(), message, Contexts[n % 5], TextKind::Dialog);
        strncpy(dialog, source.c_str(), sizeof(dialog) - 1);
        dialog[sizeof(dialog) - 1] = 0;
        language.Translate(dialog, dialog, Contexts[n % 5], TextKind::Other);
        while (*line && *line != '\f') ++line;
        while (*line == '\f') ++line;
    }
    int width = 0, height = 0;
    for (const char* name : {"SETUPDLG", "DONEDLG", "CONTEXTITEMS"}) {
        if (language.GetDialogScale(name, width, height)) {
            ScreenRect window{0, 0, 400, 300};
            DialogFrame frame = MeasureDialog(window, 390, 270, 3, width % 2 != 0);
            ScaleDialog(frame, 390, 270, width, height);
            ScaleControl(frame, ScreenRect{10, 40, 60, 60}, &window, width, height);
        }
    }
    language.DirectionEntrySaysRtl();
    return 0;
}
