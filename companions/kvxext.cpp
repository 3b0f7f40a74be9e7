// Stand-in for the shell extension library: a well-formed in-process server with no class.
#include <windows.h>

// The shell asks for the handler's class factory; this stand-in has none to offer, which the
// shell takes as a handler that is not there.
extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void** object) {
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

// Nothing is ever handed out, so the library can always go.
extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_OK; }

// The setup program writes the registration itself; self-registration is not offered.
extern "C" HRESULT WINAPI DllRegisterServer() { return E_NOTIMPL; }
extern "C" HRESULT WINAPI DllUnregisterServer() { return E_NOTIMPL; }
