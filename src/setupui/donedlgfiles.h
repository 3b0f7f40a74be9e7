// The files behind the completion dialog's buttons and the paths built for them; free of
// Win32, so that the path building is tested natively.
#pragma once
#include <cstddef>

#include "resources/resource.h"
#include "support/pathutil.h"

// Kolvex itself is started as a program; the documents go to the shell's "open" verb.
enum class FileUse { Start, Open };

struct FileButton {
    int CtrlId;
    const char* FileName;
    FileUse Use;
};
// All of them lie in the installation folder.
inline constexpr FileButton FileButtons[] = {
    {IDC_RUN_KOLVEX, "Kolvex.exe", FileUse::Start},
    {IDC_VIEW_LICENSE, "license.txt", FileUse::Open},
    {IDC_ORDER, "order.htm", FileUse::Open},
};

const FileButton* FindFileButton(int ctrlId);

bool JoinFolderAndName(const LeadByteTable& table, char* dest, size_t size, const char* folder,
                       const char* name);
template <size_t N>
bool JoinFolderAndName(char (&dest)[N], const char* folder, const char* name) {
    return JoinFolderAndName(LeadBytes, dest, N, folder, name);
}

bool QuoteProgramPath(char* dest, size_t size, const char* path);
template <size_t N>
bool QuoteProgramPath(char (&dest)[N], const char* path) {
    return QuoteProgramPath(dest, N, path);
}
