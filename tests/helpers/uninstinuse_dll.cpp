// A library for tests to load from an installation folder, so that its file is in use.
#include <windows.h>

extern "C" __declspec(dllexport) int UninstInUseMarker() { return 1; }
