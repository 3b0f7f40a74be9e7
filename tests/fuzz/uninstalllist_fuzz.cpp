// Fuzzes what the uninstaller reads from outside: the lines of the file list, the
// wininit.ini text it edits, and the paths it writes into the batch.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "uninstall/filelist.h"
#include "uninstall/selfremoval.h"
#include "uninstall/wininit.h"

namespace {
const char Folder[] = "C:\\Program Files\\Kolvex\\";

// Splits the input the way fgets would hand it over: at line feeds, in pieces of at most
// 2047 bytes, each NUL-terminated (an inner NUL ends the piece early, as it does for fgets' callers).
void FeedList(const uint8_t* data, size_t size, RemovalList& list) {
    size_t pos = 0;
    while (pos < size) {
        std::string piece;
        while (pos < size && piece.size() < ListPieceSize - 1) {
            char c = (char)data[pos++];
            piece.push_back(c);
            if (c == '\n') break;
        }
        list.AddPiece(piece.c_str());
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RemovalList list(Folder);
    FeedList(data, size, list);
    // Whatever the list says, every kept path lies inside the folder and fits a path buffer.
    for (size_t i = 0; i < list.Size(); ++i) {
        const std::string& path = list.Path(i);
        if (path.compare(0, strlen(Folder), Folder) != 0) abort();
        if (path.size() >= MaxPathSize) abort();
        if (!IsEntryInsideFolder(path.c_str() + strlen(Folder))) abort();
    }

    std::string text((const char*)data, size);
    std::string edited = text;
    AddRenameLine(edited, "C:\\PROGRA~1\\KOLVEX\\KVXEXT~1.TMP");
    if (edited.size() < text.size()) abort();  // lines already there stay

    std::string value(text.c_str());  // up to the first NUL
    std::string batch = BuildRemovalBatch(size % 2 == 0, value.c_str(), value.c_str(), "C:\\T\\b.bat");
    // A single % would let the command interpreter expand part of a path.
    for (size_t i = 0; i < batch.size(); ++i) {
        if (batch[i] != '%') continue;
        if (i + 1 >= batch.size() || batch[i + 1] != '%') abort();
        ++i;
    }
    return 0;
}
