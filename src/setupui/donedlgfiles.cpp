// Paths of the files that the completion dialog opens from the installation folder.
#include "setupui/donedlgfiles.h"

#include <cstring>

const FileButton* FindFileButton(int ctrlId) {
    for (const FileButton& button : FileButtons) {
        if (button.CtrlId == ctrlId) return &button;
    }
    return nullptr;
}

// Folder, exactly one backslash, name. A drive root such as C:\ already ends in its
// backslash and gets no second one; a double-byte character whose second byte is a
// backslash is not taken for one. Whole or nothing: a cut path could name another file.
bool JoinFolderAndName(const LeadByteTable& table, char* dest, size_t size, const char* folder,
                       const char* name) {
    if (!CopyWhole(dest, size, folder) || !AddTrailingSlash(table, dest, size)) {
        if (size) dest[0] = 0;
        return false;
    }
    size_t used = strlen(dest);
    if (!CopyWhole(dest + used, size - used, name)) {
        dest[0] = 0;
        return false;
    }
    return true;
}

// The program's path as a whole command line. Unquoted, a path with a blank in it
// (C:\Program Files\...) would let the system try C:\Program.exe first.
bool QuoteProgramPath(char* dest, size_t size, const char* path) {
    return FormatWhole(dest, size, "\"%s\"", path);
}
