// Message strings and the replaceable resource library.
#pragma once
#include <windows.h>

// Holds the resource library "kvxlng.dll" while it is loaded.
class ExtResource {
public:
    ~ExtResource();
    // Loads "kvxlng.dll" from the folder of the given path (or of the program file).
    void Load(HINSTANCE programInstance, const char* path);
    void Unload();
    bool loaded = false;
};

extern ExtResource ResourceLibrary;
// Dialogs, the icon and (without a language file) strings come from here.
extern HINSTANCE ResourceModule;
// The program's own module: the fallback for every resource.
extern HINSTANCE ProgramModule;

// The text of a string id, translated; stays valid for the next seven calls.
const char* GetMsg(int id);

// Size of each text that GetMsg returns, terminator included.
constexpr int MessageSize = 512;
