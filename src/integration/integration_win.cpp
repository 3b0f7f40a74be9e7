// The setup's integration sequence, the application path, the archive type classes and the
// uninstall registration.
#include "integration/integration.h"

#include <windows.h>
#include <shlobj.h>

#include "integration/associations.h"
#include "integration/shellext.h"
#include "integration/shortcuts.h"
#include "localization/messages.h"
#include "registry/regaccess.h"
#include "resources/resource.h"
#include "support/pathutil.h"

const char AppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kolvex.exe";
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kolvex archiver";

namespace {

const char ProgramFileName[] = "Kolvex.exe";

// The archive type classes, in the order written. Extension: the one extension that always
// points at the class (written just before it), or null.
struct TypeClass {
    const char* Name;
    int DescriptionId;
    int IconIndex;
    const char* Extension;
};

const TypeClass TypeClasses[] = {
    {"Kolvex", IDS_ARCHIVE_CLASS, 0, nullptr},
    {"Kolvex.ZIP", IDS_ZIP_CLASS, 0, nullptr},
    {"Kolvex.REV", IDS_REV_CLASS, 1, ".rev"},
};

// The icon may have been chosen by the user or by Kolvex itself: only a missing or empty one
// (or one too long to read) is set.
void SetIconIfEmpty(const char* iconKey, const char* icon) {
    char current[1024];
    GetRegString(HKEY_CLASSES_ROOT, iconKey, "", current, "");
    if (!current[0]) SetRegString(HKEY_CLASSES_ROOT, iconKey, "", icon);
}

// exePath is empty when the program's path could not be built: the class then keeps its
// description only, rather than a command or icon naming a wrong file.
void WriteTypeClass(const TypeClass& type, const char* exePath) {
    if (type.Extension) SetRegString(HKEY_CLASSES_ROOT, type.Extension, "", type.Name);
    SetRegString(HKEY_CLASSES_ROOT, type.Name, "", GetMsg(type.DescriptionId));
    if (!exePath[0]) return;
    char key[RegPathBufferSize];
    char command[IntegrationPathSize + 8];
    if (FormatWhole(key, "%s\\shell\\open\\command", type.Name) &&
        FormatWhole(command, "\"%s\" \"%%1\"", exePath))
        SetRegString(HKEY_CLASSES_ROOT, key, "", command);
    char icon[IntegrationPathSize + 16];
    if (FormatWhole(key, "%s\\DefaultIcon", type.Name) && FormatWhole(icon, "%s,%d", exePath, type.IconIndex))
        SetIconIfEmpty(key, icon);
}

}  // namespace

// The one shell notification comes from RegisterTypeClasses, after the extension libraries,
// the associations and the classes are in place; the shortcuts need none.
void ApplyIntegration(const SetupOptions& options, char* programGroupPath) {
    RegisterAppPath();
    SetShellExtensions(options);
    AssociateExtensions(options);
    RegisterTypeClasses();
    UpdateShortcuts(options, programGroupPath);
}

// The folder keeps its backslash in a drive root ("C:\"), where "C:" would mean the drive's
// current directory.
void RegisterAppPath() {
    char exePath[IntegrationPathSize];
    if (!InstallFolderFile(exePath, ProgramFileName)) return;
    SetRegString(HKEY_LOCAL_MACHINE, AppPathKey, "", exePath);
    char folder[IntegrationPathSize];
    CopyWhole(folder, exePath);
    RemoveNamePart(folder);
    SetRegString(HKEY_LOCAL_MACHINE, AppPathKey, "Path", folder);
}

void RegisterTypeClasses() {
    char exePath[IntegrationPathSize];
    if (!InstallFolderFile(exePath, ProgramFileName)) exePath[0] = 0;
    for (const TypeClass& type : TypeClasses) WriteTypeClass(type, exePath);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

// Started without switches the program uninstalls, so its bare path is the whole command;
// the shell copes with blanks in it.
void RegisterUninstaller() {
    SetRegString(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName", GetMsg(IDS_PRODUCT_NAME));
    char programPath[IntegrationPathSize];
    if (ProgramFilePath(programPath)) SetRegString(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString", programPath);
}
