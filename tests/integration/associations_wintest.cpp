// Extension associations against Wine's real registry: previous owners taken and given back,
// volume extensions and New-menu entries by Windows family and version.
#include "integration/associations.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/regsnapshot_win.h"
#include "common/testenv_win.h"
#include "integration/exttable.h"
#include "registry/regaccess.h"

namespace {

using testenv::RegTreeData;
using testenv::RegValueData;
using Tree = std::optional<RegTreeData>;

const unsigned char KvxBytes[20] = {0x4B, 0x76, 0x78, 0x21, 0x1A, 0x07, 0x00, 0xCF, 0x90, 0x73,
                                    0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const unsigned char ZipBytes[22] = {0x50, 0x4B, 0x05, 0x06};
const std::string KvxFile((const char*)KvxBytes, sizeof(KvxBytes));
const std::string ZipFile((const char*)ZipBytes, sizeof(ZipBytes));

RegValueData Sz(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }

std::vector<std::string> AllFormatExtensions() {
    std::vector<std::string> exts;
    for (const char* list : FormatExtensions) {
        char ext[MaxExtensionSize];
        for (const char* rest = list; (rest = NextExtension(rest, ext));) exts.push_back(ext);
    }
    return exts;
}

std::string Volume(int n) {
    char name[8];
    snprintf(name, sizeof(name), ".k%02d", n);
    return name;
}

std::string ClassOf(const std::string& ext) {
    std::string value;
    return testenv::RegReadString(HKEY_CLASSES_ROOT, ext.c_str(), "", &value) ? value : "";
}

std::string BackupString(const std::string& ext, const char* name) {
    std::string value;
    testenv::RegReadString(HKEY_CURRENT_USER, ("Software\\Kolvex\\Setup\\" + ext).c_str(), name, &value);
    return value;
}

DWORD BackupDword(const std::string& ext, const char* name) {
    DWORD value = 12345;
    testenv::RegReadDword(HKEY_CURRENT_USER, ("Software\\Kolvex\\Setup\\" + ext).c_str(), name, &value);
    return value;
}

// The kinds of previous owner that the setup meets.
struct Owner {
    const char* Name;
    Tree Keys;
    const char* Class;
};

std::vector<Owner> PreviousOwners() {
    RegTreeData full;
    full.Values[""] = Sz("OtherApp.Archive");
    full.Values["Content Type"] = Sz("application/x-other");
    full.Children["ShellNew"].Values["FileName"] = Sz("C:\\Other\\template.arc");
    RegTreeData nullFile;
    nullFile.Values[""] = Sz("OtherApp.Empty");
    nullFile.Children["ShellNew"].Values["NullFile"] = Sz("");
    RegTreeData noDefault;
    noDefault.Values["PerceivedType"] = Sz("compressed");
    noDefault.Children["OpenWithProgids"].Values["OtherApp.Archive"] = {REG_NONE, ""};
    return {
        {"class, content type and template file", full, "OtherApp.Archive"},
        {"class with NullFile", nullFile, "OtherApp.Empty"},
        {"key without default value", noDefault, ""},
        {"no key at all", std::nullopt, ""},
    };
}

// One call of SetExtensionAssociation, in this process or in a helper process.
using AssociateFn = std::function<void(const std::string& ext, bool associate, bool shellNew, bool isKvx, bool isZip)>;

void InProcess(const std::string& ext, bool associate, bool shellNew, bool isKvx, bool isZip) {
    SetExtensionAssociation(ext.c_str(), associate, shellNew, isKvx, isZip);
}

class AssociationTest : public testing::Test {
protected:
    void SetUp() override {
        keeper_.Keep(HKEY_CURRENT_USER, "Software\\Kolvex");
        keeper_.Keep(HKEY_CLASSES_ROOT, ".kvxtest");
        for (const std::string& ext : AllFormatExtensions()) keeper_.Keep(HKEY_CLASSES_ROOT, ext);
        for (int n = 0; n < 100; ++n) keeper_.Keep(HKEY_CLASSES_ROOT, Volume(n));
        ClearAll();
    }
    void TearDown() override {
        for (const std::string& name : probes_) testenv::SetAppVersion(name, "");
        keeper_.Restore();
    }
    void ClearAll() {
        testenv::RemoveRegTree(HKEY_CURRENT_USER, "Software\\Kolvex");
        for (const std::string& ext : AllFormatExtensions()) testenv::RemoveRegTree(HKEY_CLASSES_ROOT, ext);
        for (int n = 0; n < 100; ++n) testenv::RemoveRegTree(HKEY_CLASSES_ROOT, Volume(n));
    }
    // A copy of the helper in its own folder, started as the given Windows version.
    std::string Probe(const testenv::ScratchDir& dir, const std::string& version) {
        std::string name = "regprobe_" + version + ".exe";
        std::string path = dir / name;
        EXPECT_TRUE(testenv::CopyFileTo(testenv::BinDir() + "\\regprobe.exe", path));
        testenv::SetAppVersion(name, version);
        probes_.push_back(name);
        return path;
    }
    static DWORD Run(const std::string& probe, const std::string& args) {
        testenv::ProcessResult r = testenv::RunAndWait("\"" + probe + "\" " + args);
        EXPECT_TRUE(r.finished) << args;
        return r.exitCode;
    }
    static AssociateFn ByProbe(const std::string& probe) {
        return [probe](const std::string& ext, bool associate, bool shellNew, bool isKvx, bool isZip) {
            std::string args = "assoc " + ext + (associate ? " 1" : " 0") + (shellNew ? " 1" : " 0") +
                               (isKvx ? " 1" : " 0") + (isZip ? " 1" : " 0");
            EXPECT_EQ(Run(probe, args), 0u) << args;
        };
    }

    // Takes the extension from each kind of owner and gives it back: the extension's keys
    // must then be exactly what they were.
    void CheckRoundTrips(const AssociateFn& associate, const std::string& ext, bool shellNew, bool isKvx, bool isZip) {
        for (const Owner& owner : PreviousOwners()) {
            SCOPED_TRACE(testing::Message() << ext << " from " << owner.Name);
            testenv::RemoveRegTree(HKEY_CURRENT_USER, "Software\\Kolvex");
            testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ext, owner.Keys);
            Tree before = testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ext);

            associate(ext, true, shellNew, isKvx, isZip);
            EXPECT_EQ(ClassOf(ext), isZip ? "Kolvex.ZIP" : "Kolvex");
            EXPECT_FALSE(testenv::RegReadString(HKEY_CLASSES_ROOT, ext.c_str(), "Content Type", nullptr));
            EXPECT_EQ(BackupDword(ext, "Exist"), owner.Keys ? 1u : 0u);
            EXPECT_EQ(BackupString(ext, "Type"), owner.Class);
            if (!(shellNew && (isKvx || isZip)) && before) {
                // Without the New-menu entry of our own, the owner's entry stays as it was.
                Tree after = testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ext + "\\ShellNew");
                auto it = before->Children.find("ShellNew");
                EXPECT_EQ(after, it == before->Children.end() ? Tree() : Tree(it->second));
            }

            associate(ext, false, shellNew, isKvx, isZip);
            Tree after = testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ext);
            EXPECT_EQ(after, before) << "before:\n" << testenv::DescribeRegTree(before) << "after:\n"
                                     << testenv::DescribeRegTree(after);
        }
    }

    testenv::RegKeeper keeper_;
    std::vector<std::string> probes_;
};

TEST_F(AssociationTest, PreviousOwnersComeBackExactly) {
    CheckRoundTrips(InProcess, ".cab", true, false, false);
    CheckRoundTrips(InProcess, ".zip", false, false, true);
    CheckRoundTrips(InProcess, ".kvx", false, true, false);
}

// With shell integration on, KVX and ZIP get a New-menu entry of their own: a template file
// on Windows XP, the template bytes in "Data" on Windows 98. Both go again on giving back.
TEST_F(AssociationTest, PreviousOwnersComeBackExactlyAfterNewMenuEntries) {
    for (const char* version : {"winxp", "win98"}) {
        SCOPED_TRACE(version);
        testenv::ScratchDir dir(std::string("assoc_") + version);
        AssociateFn probe = ByProbe(Probe(dir, version));
        CheckRoundTrips(probe, ".zip", true, false, true);
        CheckRoundTrips(probe, ".kvx", true, true, false);
    }
}

TEST_F(AssociationTest, AssociatingTwiceTakesNoSecondBackup) {
    const Owner owner = PreviousOwners()[0];
    testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ".zip", owner.Keys);
    Tree before = testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ".zip");
    SetExtensionAssociation(".zip", true, false, false, true);
    SetExtensionAssociation(".zip", true, false, false, true);
    EXPECT_EQ(BackupString(".zip", "Type"), "OtherApp.Archive");
    EXPECT_EQ(BackupString(".zip", "Content"), "application/x-other");
    EXPECT_EQ(BackupString(".zip", "ShellNew"), "C:\\Other\\template.arc");
    SetExtensionAssociation(".zip", false, false, false, true);
    EXPECT_EQ(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ".zip"), before);
    // Giving back twice: the second run finds a foreign extension and changes nothing.
    SetExtensionAssociation(".zip", false, false, false, true);
    EXPECT_EQ(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ".zip"), before);
}

// Another program took .kvx after the setup: giving back leaves it and the volume names alone.
TEST_F(AssociationTest, ExtensionTakenSinceTheSetupIsLeftAlone) {
    testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ".kvx", PreviousOwners()[0].Keys);
    SetExtensionAssociation(".kvx", true, false, true, false);
    ASSERT_EQ(ClassOf(".k00"), "Kolvex");
    SetRegString(HKEY_CLASSES_ROOT, ".kvx", "", "Newcomer.Archive");
    SetRegString(HKEY_CLASSES_ROOT, ".k05", "", "Newcomer.Volume");
    std::vector<Tree> before;
    for (int n = 0; n < 100; ++n) before.push_back(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, Volume(n)));
    Tree kvxBefore = testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ".kvx");
    SetExtensionAssociation(".kvx", false, false, true, false);
    EXPECT_EQ(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ".kvx"), kvxBefore);
    for (int n = 0; n < 100; ++n) {
        SCOPED_TRACE(Volume(n));
        EXPECT_EQ(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, Volume(n)), before[n]);
    }
}

// A backup that names one of our own classes would give the extension back to us.
TEST_F(AssociationTest, BackupOfOurOwnClassGivesBackNoClass) {
    for (const char* type : {"kolvex.zip", "KOLVEX.ZIP", "Kolvex.Zip", "kOLVEX"}) {
        SCOPED_TRACE(type);
        SetRegString(HKEY_CLASSES_ROOT, ".zip", "", "Kolvex.ZIP");
        SetUserDword("Setup\\.zip", "Exist", 1);
        SetUserString("Setup\\.zip", "Type", type);
        SetExtensionAssociation(".zip", false, false, false, true);
        EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, ".zip"));
        EXPECT_EQ(ClassOf(".zip"), "");
        EXPECT_FALSE(IsOurExtension(".zip"));
    }
}

// Both extensions of the LZH format are taken with a backup each, and given back each to
// its own owner.
TEST_F(AssociationTest, LzhAndLhaEachGetABackup) {
    RegTreeData lzhOwner;
    lzhOwner.Values[""] = Sz("Lzh.Owner");
    testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ".lzh", lzhOwner);
    SetupOptions options;
    options[SlotLzh] = 1;
    AssociateExtensions(options);
    EXPECT_EQ(ClassOf(".lzh"), "Kolvex");
    EXPECT_EQ(ClassOf(".lha"), "Kolvex");
    EXPECT_EQ(BackupDword(".lzh", "Exist"), 1u);
    EXPECT_EQ(BackupString(".lzh", "Type"), "Lzh.Owner");
    EXPECT_EQ(BackupDword(".lha", "Exist"), 0u);
    EXPECT_EQ(BackupString(".lha", "Type"), "");
    // Nothing else was taken.
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".zip"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".k00"));

    AssociateExtensions(SetupOptions{});
    EXPECT_EQ(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, ".lzh"), Tree(lzhOwner));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".lha"));
}

// An extension that points at our class without a backup keeps its key, without a class.
TEST_F(AssociationTest, OursWithoutBackup) {
    SetRegString(HKEY_CLASSES_ROOT, ".cab", "", "kolvex");
    SetExtensionAssociation(".cab", true, true, false, false);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Setup\\.cab"));
    EXPECT_EQ(ClassOf(".cab"), "Kolvex");
    SetExtensionAssociation(".cab", false, true, false, false);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, ".cab"));
    EXPECT_EQ(ClassOf(".cab"), "");
}

// Giving KVX back walks all hundred volume names: they get the previous owner's class and
// content type, or go when there was no owner.
TEST_F(AssociationTest, KvxGivesBackAllHundredVolumes) {
    RegTreeData owner;
    owner.Values[""] = Sz("Old.Kvx");
    owner.Values["Content Type"] = Sz("application/x-old");
    testenv::RestoreRegTree(HKEY_CLASSES_ROOT, ".kvx", owner);
    SetExtensionAssociation(".kvx", true, false, true, false);
    SetExtensionAssociation(".kvx", false, false, true, false);
    for (int n = 0; n < 100; ++n) {
        SCOPED_TRACE(Volume(n));
        EXPECT_EQ(testenv::CaptureRegTree(HKEY_CLASSES_ROOT, Volume(n)), Tree(owner));
    }

    ClearAll();
    SetExtensionAssociation(".kvx", true, false, true, false);
    SetExtensionAssociation(".kvx", false, false, true, false);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".kvx"));
    for (int n = 0; n < 100; ++n) EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, Volume(n).c_str())) << n;
}

// The families for real: Wine reports the Windows version that is set for the helper's name.
TEST_F(AssociationTest, VolumeExtensionsByFamily) {
    struct Case { const char* Version; bool NtFamily; int Count; };
    const Case cases[] = {
        {"win95", false, 100}, {"win98", false, 100}, {"winme", false, 100},
        {"nt40", true, 30},    {"winxp", true, 30},   {"win10", true, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Version);
        ClearAll();
        testenv::ScratchDir dir(std::string("assocfamily_") + c.Version);
        std::string probe = Probe(dir, c.Version);
        EXPECT_EQ(Run(probe, "version") != 0, c.NtFamily);
        EXPECT_EQ(Run(probe, "assoc .kvx 1 0 1 0"), 0u);
        for (int n = 0; n < 100; ++n) EXPECT_EQ(ClassOf(Volume(n)), n < c.Count ? "Kolvex" : "") << n;
        EXPECT_EQ(Run(probe, "assoc .kvx 0 0 1 0"), 0u);
        for (int n = 0; n < 100; ++n) EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, Volume(n).c_str())) << n;
    }
}

std::string ReadBinary(const std::string& path, const char* name, DWORD* type) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
    BYTE data[256];
    DWORD size = sizeof(data);
    LONG r = RegQueryValueExA(key, name, nullptr, type, data, &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? std::string((char*)data, size) : "(no value)";
}

unsigned KvxHeaderCheck(const std::string& bytes) {
    uLong crc = crc32(crc32(0L, Z_NULL, 0), (const Bytef*)bytes.data() + 9, 11);
    return (unsigned)(crc & 0xFFFF);
}

// Windows 95, 98 and NT 4.0 get the template bytes as "Data"; Windows Me, 2000 and later the
// name of a template file in the program's folder, written once.
TEST_F(AssociationTest, NewMenuEntryByWindowsVersion) {
    struct Case { const char* Version; bool File; };
    const Case cases[] = {
        {"win95", false}, {"win98", false}, {"nt40", false},
        {"winme", true},  {"win2k", true},  {"winxp", true}, {"win10", true},
    };
    struct Format { const char* Ext; const char* Flags; const char* DataFile; const std::string& Bytes; };
    const Format formats[] = {
        {".kvx", "1 1 1 0", "kvxnew.dat", KvxFile},
        {".zip", "1 1 0 1", "zipnew.dat", ZipFile},
    };
    for (const Case& c : cases) {
        testenv::ScratchDir dir(std::string("assocnew_") + c.Version);
        std::string probe = Probe(dir, c.Version);
        for (const Format& f : formats) {
            SCOPED_TRACE(testing::Message() << c.Version << " " << f.Ext);
            ClearAll();
            EXPECT_EQ(Run(probe, std::string("assoc ") + f.Ext + " " + f.Flags), 0u);
            std::string shellNew = std::string(f.Ext) + "\\ShellNew";
            std::string fileName;
            bool hasFileName = testenv::RegReadString(HKEY_CLASSES_ROOT, shellNew.c_str(), "FileName", &fileName);
            DWORD type = 0;
            std::string data = ReadBinary(shellNew, "Data", &type);
            std::string fileBytes;
            bool hasFile = testenv::ReadFileBytes(dir / f.DataFile, &fileBytes);
            if (c.File) {
                EXPECT_TRUE(hasFileName);
                EXPECT_EQ(_stricmp(fileName.c_str(), (dir / f.DataFile).c_str()), 0) << fileName;
                EXPECT_EQ(data, "(no value)");
                EXPECT_TRUE(hasFile);
                EXPECT_EQ(fileBytes, f.Bytes);
            } else {
                EXPECT_FALSE(hasFileName);
                EXPECT_EQ(type, (DWORD)REG_BINARY);
                EXPECT_EQ(data, f.Bytes);
                EXPECT_FALSE(hasFile);
            }
            std::string written = c.File ? fileBytes : data;
            if (f.Bytes == KvxFile && written.size() == 20) {
                EXPECT_EQ(KvxHeaderCheck(written), (unsigned)(uint8_t)written[7] | ((uint8_t)written[8] << 8));
            }
            // Giving back removes our entry whichever form it took.
            EXPECT_EQ(Run(probe, std::string("assoc ") + f.Ext + " 0 1 " + (f.Bytes == KvxFile ? "1 0" : "0 1")), 0u);
            EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, f.Ext));
        }
    }
}

// A template file that is already there, even one the user changed, is never rewritten.
TEST_F(AssociationTest, ExistingDataFileIsNotRewritten) {
    testenv::ScratchDir dir("assocfile");
    std::string probe = Probe(dir, "winxp");
    ASSERT_TRUE(testenv::WriteFileBytes(dir / "zipnew.dat", "custom"));
    EXPECT_EQ(Run(probe, "assoc .zip 1 1 0 1"), 0u);
    std::string bytes;
    ASSERT_TRUE(testenv::ReadFileBytes(dir / "zipnew.dat", &bytes));
    EXPECT_EQ(bytes, "custom");
    std::string fileName;
    EXPECT_TRUE(testenv::RegReadString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", &fileName));
    EXPECT_EQ(_stricmp(fileName.c_str(), (dir / "zipnew.dat").c_str()), 0) << fileName;

    // Created once when missing, then kept as it is on the next run.
    EXPECT_EQ(Run(probe, "assoc .kvx 1 1 1 0"), 0u);
    ASSERT_TRUE(testenv::ReadFileBytes(dir / "kvxnew.dat", &bytes));
    EXPECT_EQ(bytes, KvxFile);
    ASSERT_TRUE(testenv::WriteFileBytes(dir / "kvxnew.dat", "changed"));
    EXPECT_EQ(Run(probe, "assoc .kvx 1 1 1 0"), 0u);
    ASSERT_TRUE(testenv::ReadFileBytes(dir / "kvxnew.dat", &bytes));
    EXPECT_EQ(bytes, "changed");
}

// A scanner must not take the program file for an archive: the templates' signatures are
// completed only in memory.
TEST(AssociationProgramFile, HoldsNeitherArchiveSignatureWhole) {
    std::string program;
    ASSERT_TRUE(testenv::ReadFileBytes(testenv::ProgramPath(), &program));
    ASSERT_GT(program.size(), 10000u);
    EXPECT_EQ(program.find(KvxFile.substr(0, 7)), std::string::npos);
    EXPECT_EQ(program.find(ZipFile.substr(0, 4)), std::string::npos);
}

}  // namespace
