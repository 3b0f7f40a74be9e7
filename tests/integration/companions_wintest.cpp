// The companion stand-ins that the tests and the demo install next to the program: what the
// setup relies on them for.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "common/testenv_win.h"

namespace {

std::string Companion(const char* name) { return testenv::BinDir() + "\\companions\\" + name; }

TEST(Companions, ArchiverHasTheTwoIconsTheClassesName) {
    EXPECT_EQ(ExtractIconExA(Companion("Kolvex.exe").c_str(), -1, nullptr, nullptr, 0), 2u);
    for (const char* file : {"kolvex.hlp", "Kvx.txt", "license.txt", "order.htm"})
        EXPECT_TRUE(testenv::Exists(Companion(file))) << file;
}

// The open command hands the archive's path over in quotes; the stand-in shows it.
TEST(Companions, ArchiverShowsTheFileItIsGiven) {
    testenv::ScratchDir scratch("companion");
    std::string archive = scratch / "an archive.kvx";
    testenv::Process archiver;
    ASSERT_TRUE(archiver.Start("\"" + Companion("Kolvex.exe") + "\" \"" + archive + "\""));
    HWND box = testenv::WaitForWindow(archiver.Id(), "#32770", "Kolvex", 10000);
    ASSERT_NE(box, nullptr);
    std::wstring text = testenv::DlgItemTextW(box, 0xFFFF);
    EXPECT_NE(text.find(testenv::Wide(archive)), std::wstring::npos) << testenv::Utf8(text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(archiver.Wait(10000));
}

TEST(Companions, ShellExtensionsAreServersWithoutAHandler) {
    for (const char* name : {"kvxext.dll", "kvxext64.dll"}) {
        SCOPED_TRACE(name);
        HMODULE library = LoadLibraryA(Companion(name).c_str());
        ASSERT_NE(library, nullptr);
        for (const char* entry : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
            EXPECT_NE(GetProcAddress(library, entry), nullptr) << entry;
        typedef HRESULT(WINAPI * GetClassObjectFn)(REFCLSID, REFIID, void**);
        typedef HRESULT(WINAPI * CanUnloadFn)();
        auto getClassObject = (GetClassObjectFn)(void*)GetProcAddress(library, "DllGetClassObject");
        auto canUnload = (CanUnloadFn)(void*)GetProcAddress(library, "DllCanUnloadNow");
        if (getClassObject && canUnload) {
            void* factory = &factory;
            EXPECT_EQ(getClassObject(CLSID_NULL, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
            EXPECT_EQ(factory, nullptr);
            EXPECT_EQ(canUnload(), S_OK);
        }
        FreeLibrary(library);
    }
}

}  // namespace
