// Entry point of uninstall.exe.
#include <windows.h>

#include "startup/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return AppMain(instance, commandLine);
}
