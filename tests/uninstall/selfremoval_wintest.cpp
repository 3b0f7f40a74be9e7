// The self-removal batch under Wine: its bytes and start-up in both families, and the real
// batch removing the program and its folder.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include "uninstall/uninstallrun_win.h"

namespace uninsttest {
namespace {

std::string ExpectedBatch(Family family, const std::string& program, const std::string& folder,
                          const std::string& batch) {
    auto q = [](std::string path) {
        std::string out;
        for (char c : path) out += c == '%' ? std::string("%%") : std::string(1, c);
        return "\"" + out + "\"";
    };
    std::string text = family == Family::Nt ? q(program) + " /wait\r\n" : "start /wait " + q(program) + " /wait\r\n";
    for (int i = 0; i < 5; ++i) {
        text += "del " + q(program) + "\r\nrd " + q(folder) + "\r\nif not exist " + q(program) + " goto done\r\n";
    }
    return text + ":done\r\nif exist " + q(program) + " " + q(program) + " /warning\r\ndel " + q(batch);
}

class UninstallBatch : public UninstallRun, public ::testing::WithParamInterface<Family> {};

// The folder's % must reach the command interpreter doubled, or it would read %...% as a
// variable and delete some other path.
TEST_P(UninstallBatch, ByteForByteWithItsStartUpSettings) {
    Install(GetParam(), "Tools 100%");
    Write("a.txt");
    List("a.txt\r\n");
    // An older, longer batch is overwritten, not patched.
    ASSERT_TRUE(WriteFileBytes(BatchPath(), std::string(5000, 'z')));
    Start("/s");
    ASSERT_TRUE(Ends());
    ASSERT_TRUE(BatchCaptured());
    EXPECT_EQ(Captured("batch.bat"), ExpectedBatch(GetParam(), ProgramFile(), inst_, BatchPath()));
    EXPECT_EQ(Captured("cmdline.txt"), BinDir() + "\\uninstcapture.exe /c \"" + BatchPath() + "\"");
    std::string startup = Captured("startup.txt");
    if (GetParam() == Family::Nt) {
        // A hidden console window.
        EXPECT_EQ(startup.substr(0, startup.find(" samestd")), "flags=1 show=0");
    } else {
        // No window; all three standard handles on the one handle of NUL, a character device.
        EXPECT_EQ(startup.substr(0, startup.find(" console")), "flags=256 show=0 samestd=1 outtype=2");
    }
    EXPECT_FALSE(Has("a.txt"));
}

INSTANTIATE_TEST_SUITE_P(Families, UninstallBatch, ::testing::Values(Family::Nt, Family::Win9x),
                         [](const ::testing::TestParamInfo<Family>& info) { return std::string(FamilyName(info.param)); });

TEST_F(UninstallRun, NoBatchWithoutAUsableTemporaryFolder) {
    Install(Family::Nt);
    Write("a.txt");
    List("a.txt\r\n");
    std::string longTemp = root_.Path() + "\\" + std::string(400, 't');
    Start("/s", false, longTemp);
    ASSERT_TRUE(Ends());
    EXPECT_FALSE(Has("a.txt"));  // the run itself went through
    EXPECT_FALSE(BatchCaptured(1500));
    for (const std::string& folder : {root_.Path(), inst_, WindowsFolder(), TempFolder()}) {
        SCOPED_TRACE(folder);
        EXPECT_FALSE(Exists(folder + "\\Uninstall_Kvx.Bat"));
    }
}

// Wine's mount manager maps a drive letter to a Unix folder, as its configuration tool
// does; the letter goes again when the object goes.
class MappedDrive {
public:
    bool Map(char letter, const std::string& windowsFolder) {
        typedef char*(CDECL * UnixName)(LPCWSTR);
        UnixName unixName = (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
        if (!unixName) return false;
        char* unixPath = unixName(Wide(windowsFolder).c_str());
        if (!unixPath) return false;
        std::string target = unixPath;
        HeapFree(GetProcessHeap(), 0, unixPath);
        letter_ = letter;
        mapped_ = Define(DRIVE_FIXED, target.c_str());
        return mapped_;
    }
    ~MappedDrive() {
        if (mapped_) Define(DRIVE_NO_ROOT_DIR, nullptr);
    }
private:
    struct UnixDrive {
        ULONG size;
        ULONG type;
        ULONG fsType;
        DWORD serial;
        ULONGLONG unixDev;
        WCHAR letter;
        USHORT mountPointOffset;
        USHORT deviceOffset;
        USHORT labelOffset;
    };
    bool Define(ULONG type, const char* mountPoint) {
        const DWORD DefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        std::string buffer(sizeof(UnixDrive), '\0');
        UnixDrive drive = {};
        drive.type = type;
        drive.letter = (WCHAR)letter_;
        if (mountPoint) {
            drive.mountPointOffset = (USHORT)buffer.size();
            buffer.append(mountPoint, strlen(mountPoint) + 1);
        }
        drive.size = (ULONG)buffer.size();
        memcpy(&buffer[0], &drive, sizeof(drive));
        HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE) return false;
        DWORD returned = 0;
        BOOL ok = DeviceIoControl(manager, DefineUnixDrive, &buffer[0], (DWORD)buffer.size(), nullptr, 0, &returned,
                                  nullptr);
        CloseHandle(manager);
        return ok != 0;
    }
    char letter_ = 0;
    bool mapped_ = false;
};

// A letter that no drive uses yet.
char FreeDriveLetter() {
    DWORD used = GetLogicalDrives();
    for (char letter = 'K'; letter <= 'Y'; ++letter) {
        if (!(used & (1u << (letter - 'A')))) return letter;
    }
    return 0;
}

// The real command interpreter runs the batch once the program has ended: the program file,
// the folder and the batch itself go within seconds.
TEST_F(UninstallRun, TheBatchRemovesProgramFolderAndItself) {
    struct Case { const char* Name; const char* Folder; };
    const Case cases[] = {{"plain folder", "inst"}, {"folder with %", "Tools 100%OS%"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Install(Family::Nt, c.Folder);
        Dir("sub");
        Write("sub\\a.txt");
        List("sub\r\nsub\\a.txt\r\n");
        StartPlain("/s");
        ASSERT_TRUE(Ends());
        EXPECT_TRUE(WaitFor(IsGone, ProgramFile(), 15000));
        EXPECT_TRUE(WaitFor(IsGone, inst_, 5000));
        EXPECT_TRUE(WaitFor(IsGone, BatchPath(), 5000));
        // No notice asks for the program file to be deleted by hand.
        EXPECT_EQ(WaitForWindow(0, "#32770", Caption, 500), nullptr);
    }
}

TEST_F(UninstallRun, InADriveRootTheProgramFileStillGoes) {
    std::string target = root_ / "drive";
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    char letter = FreeDriveLetter();
    ASSERT_NE(letter, 0);
    MappedDrive drive;
    ASSERT_TRUE(drive.Map(letter, target));
    std::string rootPath = std::string(1, letter) + ":\\";
    ASSERT_TRUE(Exists(rootPath));
    InstallAt(Family::Nt, rootPath);
    Write("a.txt");
    Write("keep.txt");
    List("a.txt\r\n");
    StartPlain("/s");
    ASSERT_TRUE(Ends());
    EXPECT_FALSE(Exists(target + "\\a.txt"));
    EXPECT_TRUE(WaitFor(IsGone, target + "\\" + programName_, 15000));
    EXPECT_TRUE(WaitFor(IsGone, BatchPath(), 5000));
    EXPECT_TRUE(Exists(target + "\\keep.txt"));
    EXPECT_EQ(WaitForWindow(0, "#32770", Caption, 500), nullptr);
}

}  // namespace
}  // namespace uninsttest
