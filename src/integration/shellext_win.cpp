// Registration of the Explorer shell extension libraries, and its removal.
#include "integration/shellext.h"

#include <windows.h>


#include "integration/installfile.h"
#include "registry/regaccess.h"
#include "support/pathutil.h"

const char ShellExtLibrary[] = "kvxext.dll";
const char ShellExtClassId[] = "{3F6A0C52-71D9-4E28-B5A4-29C6E1D07B3E}";
const char ShellExt64Library[] = "kvxext64.dll";
const char ShellExt64ClassId[] = "{3F6A0C52-D2A7-4E28-B5A4-29C6E1D07B3E}";

namespace {

const char ClassKeyFormat[] = "CLSID\\%s";
const char ServerKeyFormat[] = "CLSID\\%s\\InProcServer32";
const char ApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const char ApprovedText[] = "Kolvex shell extension";

// How the handler keys name the handler, and so how unregistration takes them away again.
enum class HandlerKind {
    // The class id is the key's name, the default value empty: the key goes.
    NamedByClassId,
    // A key of a fixed name holds the class id as its default value. Only one handler can
    // live there, so the key goes when it is unregistered.
    SingleHandler,
    // A key named "Kolvex" beside other programs' handlers holds the class id: only the value
    // goes, the key stays.
    KolvexKey,
};

struct HandlerKey {
    const char* Key;  // the parent key when the handler is named by its class id
    HandlerKind Kind;
};

// In the order written and removed.
const HandlerKey HandlerKeys[] = {
    {"Kolvex\\shellex\\ContextMenuHandlers", HandlerKind::NamedByClassId},
    {"Kolvex\\shellex\\PropertySheetHandlers", HandlerKind::NamedByClassId},
    {"Kolvex.ZIP\\shellex\\ContextMenuHandlers", HandlerKind::NamedByClassId},
    {"Kolvex.ZIP\\shellex\\PropertySheetHandlers", HandlerKind::NamedByClassId},
    {"exefile\\shellex\\PropertySheetHandlers", HandlerKind::NamedByClassId},
    {"Kolvex\\shellex\\DropHandler", HandlerKind::SingleHandler},
    {"Kolvex.ZIP\\shellex\\DropHandler", HandlerKind::SingleHandler},
    {"*\\shellex\\ContextMenuHandlers\\Kolvex", HandlerKind::KolvexKey},
    {"Folder\\shellex\\ContextMenuHandlers\\Kolvex", HandlerKind::KolvexKey},
    {"Folder\\shellex\\DragDropHandlers\\Kolvex", HandlerKind::KolvexKey},
    {"Drive\\shellex\\DragDropHandlers\\Kolvex", HandlerKind::KolvexKey},
    {"Directory\\shellex\\ContextMenuHandlers\\Kolvex", HandlerKind::KolvexKey},
    {"Directory\\shellex\\DragDropHandlers\\Kolvex", HandlerKind::KolvexKey},
};

// -1 until IsWow64Process has answered.
int Wow64Answer = -1;

// The handler key path for one class id; false when it does not fit.
bool HandlerKeyPath(char (&path)[RegPathBufferSize], const HandlerKey& handler, const char* classId) {
    if (handler.Kind != HandlerKind::NamedByClassId) return CopyWhole(path, handler.Key);
    return FormatWhole(path, "%s\\%s", handler.Key, classId);
}

void WriteClassKeys(const char* libraryPath, const char* classId, bool in64BitView) {
    char classKey[RegPathBufferSize];
    char serverKey[RegPathBufferSize];
    if (!FormatWhole(classKey, ClassKeyFormat, classId) || !FormatWhole(serverKey, ServerKeyFormat, classId))
        return;
    // The 64-bit library is loaded by the 64-bit Explorer, which reads the 64-bit view only.
    if (in64BitView) SetRegistry64View(true);
    SetRegString(HKEY_CLASSES_ROOT, classKey, "", "Kolvex");
    SetRegString(HKEY_CLASSES_ROOT, serverKey, "", libraryPath);
    SetRegString(HKEY_CLASSES_ROOT, serverKey, "ThreadingModel", "Apartment");
    if (in64BitView) SetRegistry64View(false);
}

void WriteHandlerKeys(const char* classId) {
    for (const HandlerKey& handler : HandlerKeys) {
        char path[RegPathBufferSize];
        if (!HandlerKeyPath(path, handler, classId)) continue;
        bool named = handler.Kind == HandlerKind::NamedByClassId;
        SetRegString(HKEY_CLASSES_ROOT, path, "", named ? "" : classId);
    }
    SetRegString(HKEY_LOCAL_MACHINE, ApprovedKey, classId, ApprovedText);
}

void RemoveHandlerKeys(const char* classId) {
    for (const HandlerKey& handler : HandlerKeys) {
        char path[RegPathBufferSize];
        if (!HandlerKeyPath(path, handler, classId)) continue;
        if (handler.Kind == HandlerKind::KolvexKey) DeleteRegValue(HKEY_CLASSES_ROOT, path, "");
        else DeleteRegKey(HKEY_CLASSES_ROOT, path);
    }
    DeleteRegValue(HKEY_LOCAL_MACHINE, ApprovedKey, classId);
}

void RemoveClassKeys(const char* classId, bool in64BitView) {
    char classKey[RegPathBufferSize];
    char serverKey[RegPathBufferSize];
    if (!FormatWhole(classKey, ClassKeyFormat, classId) || !FormatWhole(serverKey, ServerKeyFormat, classId))
        return;
    DeleteRegKey(HKEY_CLASSES_ROOT, serverKey);
    DeleteRegKey(HKEY_CLASSES_ROOT, classKey);
    // Without this the 64-bit registry would keep a class pointing at a deleted library.
    // (The process's own view does not reach them from the 32-bit program on 64-bit Windows.)
    if (in64BitView) {
        DeleteRegKeyIn64BitView(HKEY_CLASSES_ROOT, serverKey);
        DeleteRegKeyIn64BitView(HKEY_CLASSES_ROOT, classKey);
    }
}

}  // namespace

// Registration rewrites everything each time; a missing library only loses its class keys,
// so that the handlers appear once the library is put in place and registered.
void RegisterShellExtension(bool doRegister, const char* libraryName, const char* classId,
                            bool in64BitView) {
    if (!doRegister) {
        RemoveClassKeys(classId, in64BitView);
        RemoveHandlerKeys(classId);
        return;
    }
    char libraryPath[IntegrationPathSize];
    if (InstallFolderFile(libraryPath, libraryName) && GetFileAttributesA(libraryPath) != INVALID_FILE_ATTRIBUTES)
        WriteClassKeys(libraryPath, classId, in64BitView);
    WriteHandlerKeys(classId);
}

// On 64-bit Windows the 64-bit library goes second, so its class id is the one left in the
// keys that hold a single handler: the 64-bit Explorer is the one the user sees.
void SetShellExtensions(const SetupOptions& options) {
    bool doRegister = options[SlotShellIntegration] != 0;
    RegisterShellExtension(doRegister, ShellExtLibrary, ShellExtClassId, false);
    if (IsWow64()) RegisterShellExtension(doRegister, ShellExt64Library, ShellExt64ClassId, true);
}

// IsWow64Process is missing before XP SP2; without it there is no 64-bit Windows to care about.
// A failed probe is not cached, so the next call asks again.
bool IsWow64() {
    if (Wow64Answer < 0) {
        typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
        HMODULE kernel = GetModuleHandleA("kernel32");
        IsWow64ProcessFn isWow64Process =
            kernel ? (IsWow64ProcessFn)(void*)GetProcAddress(kernel, "IsWow64Process") : nullptr;
        BOOL wow64 = FALSE;
        if (isWow64Process && isWow64Process(GetCurrentProcess(), &wow64)) Wow64Answer = wow64 ? 1 : 0;
    }
    return Wow64Answer == 1;
}

void SetWow64Answer(int answer) { Wow64Answer = answer; }
