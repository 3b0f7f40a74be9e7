// Message strings from the resource library or the program, through the translation table.
#include "localization/messages.h"

#include "localization/langres.h"
#include "support/pathutil.h"

HINSTANCE ResourceModule = nullptr;
HINSTANCE ProgramModule = nullptr;

namespace {
const int RingSize = 8;
// Callers keep a text while they fetch up to seven more (a box's text and caption, the
// shortcut names): each call takes the next buffer of the ring.
char MessageRing[RingSize][MessageSize];
int RingIndex = 0;
const char ResourceLibraryName[] = "kvxlng.dll";
}  // namespace

ExtResource::~ExtResource() { Unload(); }

void ExtResource::Load(HINSTANCE programInstance, const char* path) {
    Unload();
    ResourceModule = programInstance;
    ProgramModule = programInstance;
    char libPath[1024];
    if (path) {
        if (!CopyWhole(libPath, path)) return;
    } else {
        DWORD len = GetModuleFileNameA(nullptr, libPath, sizeof(libPath));
        if (len == 0 || len >= sizeof(libPath)) return;
    }
    char* name = GetNamePart(libPath);
    size_t room = sizeof(libPath) - (size_t)(name - libPath);
    if (!CopyWhole(name, room, ResourceLibraryName)) return;
    HMODULE lib = LoadLibraryA(libPath);
    if (!lib) return;
    ResourceModule = (HINSTANCE)lib;
    loaded = true;
}

void ExtResource::Unload() {
    if (!loaded) return;
    FreeLibrary(ResourceModule);
    ResourceModule = ProgramModule;
    loaded = false;
}

const char* GetMsg(int id) {
    RingIndex = (RingIndex + 1) % RingSize;
    char* text = MessageRing[RingIndex];
    text[0] = 0;
    int len = 0;
    // With a language file the program's own wording is the source of every translation.
    if (!Language.IsLoaded() && ResourceModule) len = LoadStringA(ResourceModule, id, text, MessageSize);
    if (len <= 0) {
        text[0] = 0;
        if (ProgramModule) LoadStringA(ProgramModule, id, text, MessageSize);
    }
    Language.Translate(text, text, MessageSize, nullptr, TextKind::Message);
    return text;
}
