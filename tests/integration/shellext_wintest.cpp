// Shell extension registration against Wine's real registry: the library's class keys in the
// right registry view, the handler keys, and what unregistration leaves.
#include "integration/shellext.h"

#include <gtest/gtest.h>

#include <string>

#include "common/integrationenv_win.h"
#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"
#include "registry/regaccess.h"

namespace {

const char ApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const REGSAM View32 = KEY_WOW64_32KEY;
const REGSAM View64 = KEY_WOW64_64KEY;

// Keys named by the class id, which exist once per library.
const char* const NamedHandlerParents[] = {
    "Kolvex\\shellex\\ContextMenuHandlers",     "Kolvex\\shellex\\PropertySheetHandlers",
    "Kolvex.ZIP\\shellex\\ContextMenuHandlers", "Kolvex.ZIP\\shellex\\PropertySheetHandlers",
    "exefile\\shellex\\PropertySheetHandlers",
};
// Keys that hold one class id as their default value.
const char* const DropHandlerKeys[] = {"Kolvex\\shellex\\DropHandler", "Kolvex.ZIP\\shellex\\DropHandler"};
const char* const KolvexHandlerKeys[] = {
    "*\\shellex\\ContextMenuHandlers\\Kolvex",      "Folder\\shellex\\ContextMenuHandlers\\Kolvex",
    "Folder\\shellex\\DragDropHandlers\\Kolvex",    "Drive\\shellex\\DragDropHandlers\\Kolvex",
    "Directory\\shellex\\ContextMenuHandlers\\Kolvex", "Directory\\shellex\\DragDropHandlers\\Kolvex",
};

std::string ClassKey(const char* id) { return std::string("CLSID\\") + id; }
std::string ServerKey(const char* id) { return ClassKey(id) + "\\InProcServer32"; }

std::string Read(HKEY root, const std::string& key, const char* name, REGSAM view) {
    std::string value;
    return testenv::RegReadString(root, key.c_str(), name, &value, view) ? value : "(none)";
}

bool HasDefaultValue(const std::string& key, REGSAM view) {
    std::string value;
    return testenv::RegReadString(HKEY_CLASSES_ROOT, key.c_str(), "", &value, view);
}

// The libraries are looked for beside the running program, here the test program in bin/.
class ShellExtTest : public ::testing::Test {
protected:
    void SetUp() override {
        testenv::KeepIntegrationKeys(keeper_);
        RemoveLibraries();
        RemoveRegistration();
    }
    void TearDown() override {
        SetRegistryBaseView(0);
        SetWow64Answer(-1);
        RemoveLibraries();
        keeper_.Restore();
    }
    static std::string LibraryPath(const char* name) { return testenv::BinDir() + "\\" + name; }
    static void PutLibrary(const char* name) { testenv::WriteFileBytes(LibraryPath(name), "MZ"); }
    static void RemoveLibraries() {
        DeleteFileA(LibraryPath(ShellExtLibrary).c_str());
        DeleteFileA(LibraryPath(ShellExt64Library).c_str());
    }
    // Leftovers of other runs would hide what a registration writes.
    static void RemoveRegistration() {
        for (REGSAM view : {View32, View64}) {
            for (const char* id : {ShellExtClassId, ShellExt64ClassId}) {
                testenv::RegTreeDelete(HKEY_CLASSES_ROOT, ClassKey(id).c_str(), view);
                for (const char* parent : NamedHandlerParents)
                    testenv::RegTreeDelete(HKEY_CLASSES_ROOT, (std::string(parent) + "\\" + id).c_str(), view);
            }
            for (const char* key : DropHandlerKeys) testenv::RegTreeDelete(HKEY_CLASSES_ROOT, key, view);
            for (const char* key : KolvexHandlerKeys) testenv::RegTreeDelete(HKEY_CLASSES_ROOT, key, view);
        }
    }
    // The 64-bit test program acting as the 32-bit product on 64-bit Windows.
    static void EmulateWow64() {
        SetRegistryBaseView(View32);
        SetWow64Answer(1);
    }
    static SetupOptions Options(bool shellIntegration) {
        SetupOptions options;
        options[SlotShellIntegration] = shellIntegration ? 1 : 0;
        return options;
    }

    testenv::RegKeeper keeper_;
};

TEST_F(ShellExtTest, ClassKeysOnlyForAPresentLibraryOn32BitWindows) {
    struct Case {
        bool Library;
        bool Library64;
    };
    const Case cases[] = {{true, true}, {false, true}, {true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kvxext.dll " << c.Library << ", kvxext64.dll " << c.Library64);
        RemoveLibraries();
        RemoveRegistration();
        if (c.Library) PutLibrary(ShellExtLibrary);
        if (c.Library64) PutLibrary(ShellExt64Library);
        SetWow64Answer(0);

        SetShellExtensions(Options(true));

        EXPECT_EQ(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, ClassKey(ShellExtClassId).c_str()), c.Library);
        if (c.Library) {
            EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ClassKey(ShellExtClassId), "", 0), "Kolvex");
            EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ServerKey(ShellExtClassId), "", 0), LibraryPath(ShellExtLibrary));
            EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ServerKey(ShellExtClassId), "ThreadingModel", 0), "Apartment");
        }
        // Handler keys and the approval do not depend on the library.
        for (const char* parent : NamedHandlerParents) {
            std::string key = std::string(parent) + "\\" + ShellExtClassId;
            EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key, "", 0), "") << key;
        }
        for (const char* key : DropHandlerKeys) EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key, "", 0), ShellExtClassId) << key;
        for (const char* key : KolvexHandlerKeys) EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key, "", 0), ShellExtClassId) << key;
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, ApprovedKey, ShellExtClassId, 0), "Kolvex shell extension");

        // Without WOW64 the 64-bit library is not registered at all, in either view.
        for (REGSAM view : {View32, View64})
            EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, ClassKey(ShellExt64ClassId).c_str(), view));
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, ApprovedKey, ShellExt64ClassId, 0), "(none)");
        for (const char* parent : NamedHandlerParents) {
            std::string key = std::string(parent) + "\\" + ShellExt64ClassId;
            EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, key.c_str())) << key;
        }
    }
}

TEST_F(ShellExtTest, UnderWow64EachLibraryInItsOwnView) {
    PutLibrary(ShellExtLibrary);
    PutLibrary(ShellExt64Library);
    EmulateWow64();

    SetShellExtensions(Options(true));

    // The 32-bit library where the 32-bit program reads, the 64-bit one where Explorer does.
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ServerKey(ShellExtClassId), "", View32), LibraryPath(ShellExtLibrary));
    EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, ClassKey(ShellExtClassId).c_str(), View64));
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ClassKey(ShellExt64ClassId), "", View64), "Kolvex");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ServerKey(ShellExt64ClassId), "", View64), LibraryPath(ShellExt64Library));
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ServerKey(ShellExt64ClassId), "ThreadingModel", View64), "Apartment");
    EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, ClassKey(ShellExt64ClassId).c_str(), View32));

    // Everything else stays in the program's own view; the 64-bit class id, written second,
    // holds the keys that take a single handler.
    for (const char* id : {ShellExtClassId, ShellExt64ClassId}) {
        for (const char* parent : NamedHandlerParents) {
            std::string key = std::string(parent) + "\\" + id;
            EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key, "", View32), "") << key;
        }
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, ApprovedKey, id, View32), "Kolvex shell extension") << id;
    }
    for (const char* key : DropHandlerKeys) EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key, "", View32), ShellExt64ClassId) << key;
    for (const char* key : KolvexHandlerKeys)
        EXPECT_EQ(Read(HKEY_CLASSES_ROOT, key, "", View32), ShellExt64ClassId) << key;
}

TEST_F(ShellExtTest, UnregistrationLeavesOnlyTheEmptyKolvexKeys) {
    PutLibrary(ShellExtLibrary);
    PutLibrary(ShellExt64Library);
    EmulateWow64();
    SetShellExtensions(Options(true));

    SetShellExtensions(Options(false));

    for (REGSAM view : {View32, View64}) {
        for (const char* id : {ShellExtClassId, ShellExt64ClassId}) {
            SCOPED_TRACE(testing::Message() << id << " view " << std::hex << view);
            // No class of either library is left behind in either view.
            EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, ClassKey(id).c_str(), view));
            for (const char* parent : NamedHandlerParents) {
                std::string key = std::string(parent) + "\\" + id;
                EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, key.c_str(), view)) << key;
            }
        }
    }
    for (const char* key : DropHandlerKeys) EXPECT_FALSE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, key, View32)) << key;
    // Other programs may keep their handlers beside ours: the keys named "Kolvex" only lose
    // their value.
    for (const char* key : KolvexHandlerKeys) {
        EXPECT_TRUE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, key, View32)) << key;
        EXPECT_FALSE(HasDefaultValue(key, View32)) << key;
    }
    for (const char* id : {ShellExtClassId, ShellExt64ClassId})
        EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, ApprovedKey, id, View32), "(none)");

    // A second removal finds nothing to do and changes nothing.
    auto classes = testenv::CaptureRegTree(HKEY_CLASSES_ROOT, "Kolvex", View32);
    auto approved = testenv::CaptureRegTree(HKEY_LOCAL_MACHINE, ApprovedKey, View32);
    SetShellExtensions(Options(false));
    EXPECT_EQ(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, "Kolvex", View32), classes);
    EXPECT_EQ(testenv::CaptureRegTree(HKEY_LOCAL_MACHINE, ApprovedKey, View32), approved);

    // Switched on again, both libraries are back.
    SetShellExtensions(Options(true));
    EXPECT_TRUE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, ServerKey(ShellExtClassId).c_str(), View32));
    EXPECT_TRUE(testenv::RegKeyPresent(HKEY_CLASSES_ROOT, ServerKey(ShellExt64ClassId).c_str(), View64));
}

// The test program is a 64-bit process: the real probe says it is not under WOW64, and the
// answer stays the same on every call.
TEST_F(ShellExtTest, Wow64ProbeOfA64BitProcess) {
    SetWow64Answer(-1);
    EXPECT_FALSE(IsWow64());
    EXPECT_FALSE(IsWow64());
}

}  // namespace
