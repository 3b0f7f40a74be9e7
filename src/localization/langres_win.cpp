// Loading the language file through File, and the resource library's direction probe.
#include <windows.h>

#include "localization/langres.h"
#include "localization/messages.h"
#include "support/file.h"

namespace {
// The loader's view of an open File.
class FileSource : public ByteSource {
public:
    explicit FileSource(File& file) : file_(file) {}
    int64_t Tell() override { return file_.Tell(); }
    int Read(void* buffer, int count) override { return file_.Read(buffer, count); }
    void SeekFromStart(int64_t offset) override { file_.Seek(offset, FILE_BEGIN); }

private:
    File& file_;
};
}  // namespace

void LanguageResources::Init(const char* fileName) {
    LoadFile(fileName);
    DetectDirection();
}

// A missing or unreadable file leaves every text untranslated; nothing is reported.
void LanguageResources::LoadFile(const char* fileName) {
    char programPath[1024];
    DWORD len = GetModuleFileNameA(nullptr, programPath, sizeof(programPath));
    if (len == 0 || len >= sizeof(programPath)) programPath[0] = 0;
    char path[1024];
    if (!LanguageFilePath(path, sizeof(path), programPath, fileName)) return;
    File file;
    // Others may keep the file open for writing while we read it (a translator's editor).
    if (!file.Open(path, false, true)) return;
    FileSource source(file);
    LoadText(source);
}

// A resource library built for a right-to-left language says so with a dialog named
// "RTL"; otherwise the language file may say so.
void LanguageResources::DetectDirection() {
    if (FindResourceA(ResourceModule, "RTL", RT_DIALOG)) {
        rightToLeft = true;
        return;
    }
    rightToLeft = DirectionEntrySaysRtl();
}
