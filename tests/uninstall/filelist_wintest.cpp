// The real program under Wine removing an installation: the list, files in use, the
// confirmation and a list that cannot be opened.
#include <gtest/gtest.h>

#include "uninstall/uninstallrun_win.h"

namespace uninsttest {
namespace {

TEST_F(UninstallRun, RemovesWhatTheListNamesInPasses) {
    Install(Family::Nt);
    Dir("sub");
    Dir("sub\\deeper");
    Write("sub\\deeper\\a.txt");
    Write("sub\\b.txt");
    Write("ro.txt");
    SetFileAttributesA(At("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Write("kolvex.gid");
    Write("kolvex.fts");
    Write("tail.txt");
    // Next to the listed ones, but not listed: they stay.
    Write("keep.txt");
    Dir("sub2");
    Write("sub2\\keep.txt");
    Write("ro.txt.bak");
    std::string longLine = std::string(2047, 'x') + "tail.txt\r\n";  // read in two pieces
    List("sub\r\n"                    // folders before their contents
         "sub\\deeper\r\n"
         "\r\n"
         "  \t \r\n"
         "ro.txt \t\r\n" +
         std::string(programName_) + "\r\n"
         "Uninstall.lst\r\n"
         "missing.txt\r\n"
         "nofolder\\missing.txt\r\n" +
         longLine +
         "sub\\deeper\\a.txt\r\n"
         "sub/b.txt");                 // the last line has no line end
    Start("/s");
    ASSERT_TRUE(Ends());
    // Only what was not listed is left, and the running program, which the batch deletes;
    // nothing was moved aside (the read-only file was deletable once its attributes were
    // cleared, the program and the list never get a temporary name).
    std::vector<std::string> expected = {"keep.txt", "ro.txt.bak", "sub2", "sub2\\keep.txt", programName_};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(TreeOf(inst_), expected);
    EXPECT_TRUE(BatchCaptured());
}

TEST_F(UninstallRun, NothingOutsideTheFolderIsTouched) {
    Install(Family::Nt);
    std::string outside = root_ / "outside";
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((outside + "\\empty").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(outside + "\\victim.txt", "x"));
    ASSERT_TRUE(WriteFileBytes(outside + "\\held.txt", "x"));
    // Were it reached, a file in use outside would be scheduled and bring the notice.
    holders_.emplace_back(new Holder);
    ASSERT_TRUE(holders_.back()->Start("open", outside + "\\held.txt", root_ / "heldready"));
    Dir("sub");
    Write("sub\\in.txt");
    Write("in2.txt");
    const char* entries[] = {
        "..\\outside\\victim.txt",
        "../outside/victim.txt",
        "sub\\..\\..\\outside\\victim.txt",
        "..\\outside\\empty",
        "..\\outside\\held.txt",
        "...\\outside\\victim.txt",
        "..",
        "C:\\kvxtest\\uninst\\outside\\victim.txt",
        "C:..\\outside\\victim.txt",
        "\\kvxtest\\uninst\\outside\\victim.txt",
        "/kvxtest/uninst/outside/victim.txt",
        "\\\\?\\C:\\kvxtest\\uninst\\outside\\victim.txt",
        "\\\\localhost\\C$\\kvxtest\\uninst\\outside\\victim.txt",
        "nul",
    };
    std::string list;
    for (const char* e : entries) list += std::string(e) + "\r\n";
    // Inside, but climbing through "..": passed over like the rest.
    Write("keep.txt");
    List(list + "sub\\..\\keep.txt\r\nsub\\in.txt\r\n.\\in2.txt\r\nsub\r\n");
    Start("/s");
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(Exists(outside + "\\victim.txt"));
    EXPECT_TRUE(Exists(outside + "\\empty"));
    EXPECT_TRUE(Exists(outside + "\\held.txt"));
    EXPECT_FALSE(Exists(outside + "\\held.txt.0.tmp"));
    EXPECT_FALSE(PendingDeletion(outside + "\\held.txt"));
    EXPECT_TRUE(Has("keep.txt"));
    // Entries inside behave as always, and no notice held the run up.
    EXPECT_FALSE(Has("sub"));
    EXPECT_FALSE(Has("in2.txt"));
    EXPECT_TRUE(BatchCaptured());
}

TEST_F(UninstallRun, AnsweringNoRemovesNothing) {
    Install(Family::Nt);
    Write("a.txt");
    List("a.txt\r\n");
    Start("");
    Box box = WaitForBox(program_.Id(), 15000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, Caption);
    EXPECT_EQ(box.text, "继续卸载 Kolvex 吗？");
    EXPECT_NE(GetDlgItem(box.window, IDYES), nullptr);
    Press(box.window, IDNO);
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(Has("a.txt"));
    EXPECT_TRUE(Has("Uninstall.lst"));
    EXPECT_FALSE(BatchCaptured(1000));
}

TEST_F(UninstallRun, ListThatCannotBeOpenedStopsEverything) {
    struct Case { bool Silent; bool ListIsFolder; };
    const Case cases[] = {{true, false}, {false, false}, {true, true}};
    Install(Family::Nt);
    Write("a.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "silent " << c.Silent << " folder " << c.ListIsFolder);
        if (c.ListIsFolder) Dir("Uninstall.lst");
        Start(c.Silent ? "/s" : "");
        if (!c.Silent) {
            Box question = WaitForBox(program_.Id(), 15000, "继续卸载 Kolvex 吗？");
            ASSERT_NE(question.window, nullptr);
            Press(question.window, IDYES);
        }
        Box box = WaitForBox(program_.Id(), 15000, "无法打开列表文件 Uninstall.lst");
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, Caption);
        EXPECT_EQ(box.text, "无法打开列表文件 Uninstall.lst");
        Press(box.window, IDOK);
        ASSERT_TRUE(Ends());
        EXPECT_TRUE(Has("a.txt"));
        EXPECT_TRUE(Has(programName_));
        EXPECT_FALSE(BatchCaptured(1000));
    }
}

// Files in use, the two kinds: a loaded library is moved aside and scheduled under its
// temporary name; a file open without delete sharing keeps its name, is scheduled, and
// the restart notice appears even in a silent run.
class UninstallInUse : public UninstallRun, public ::testing::WithParamInterface<Family> {};

std::string WininitText() {
    std::string text;
    ReadFileBytes(WindowsFolder() + "\\wininit.ini", &text);
    return text;
}

TEST_P(UninstallInUse, LoadedLibraryIsMovedAsideAndScheduled) {
    Install(GetParam());
    if (GetParam() == Family::Win9x) DeleteFileA((WindowsFolder() + "\\wininit.ini").c_str());
    ASSERT_TRUE(CopyFileTo(FixtureDir() + "\\uninstinuse.dll", At("kvxext.dll")));
    Write("kvxext.dll.0.tmp", "earlier");
    Hold("load", "kvxext.dll");
    List("kvxext.dll\r\n");
    Start("/s");
    ASSERT_TRUE(Ends());  // no notice: the file got a temporary name
    EXPECT_FALSE(Has("kvxext.dll"));
    ASSERT_TRUE(Has("kvxext.dll.1.tmp"));
    std::string earlier;
    ReadFileBytes(At("kvxext.dll.0.tmp"), &earlier);
    EXPECT_EQ(earlier, "earlier");
    if (GetParam() == Family::Nt) {
        EXPECT_TRUE(PendingDeletion(At("kvxext.dll.1.tmp")));
    } else {
        EXPECT_EQ(WininitText(), "[Rename]\r\nNUL=" + ShortPath(At("kvxext.dll.1.tmp")) + "\r\n");
        EXPECT_FALSE(PendingDeletion(At("kvxext.dll.1.tmp")));
    }
}

TEST_P(UninstallInUse, OpenFileKeepsItsNameAndBringsTheNotice) {
    Install(GetParam());
    Write("kvx.dat");
    Write("other.txt");
    Hold("open", "kvx.dat");
    List("kvx.dat\r\nother.txt\r\n");
    std::string before = WininitText();
    Start("/s");
    Box box = WaitForBox(program_.Id(), 20000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, Caption);
    EXPECT_EQ(box.text, "你必须重新启动 Windows 才能完全卸载 Kolvex。");
    // The notice comes after the passes and before the batch.
    EXPECT_FALSE(Has("other.txt"));
    EXPECT_FALSE(BatchCaptured(300));
    Press(box.window, IDOK);
    ASSERT_TRUE(Ends());
    EXPECT_TRUE(BatchCaptured());
    EXPECT_TRUE(Has("kvx.dat"));
    EXPECT_FALSE(Has("kvx.dat.0.tmp"));
    if (GetParam() == Family::Nt) {
        EXPECT_TRUE(PendingDeletion(At("kvx.dat")));
    } else {
        std::string line = "NUL=" + ShortPath(At("kvx.dat")) + "\r\n";
        std::string text = WininitText();
        EXPECT_NE(text.find(line), std::string::npos) << text;
        EXPECT_EQ(text.find(line), text.rfind(line)) << "scheduled once per pass, written once";
    }
}

// The profile writer would keep only the last "NUL" line: each file of the run needs its own,
// and the lines already there must stay.
TEST_F(UninstallRun, EveryScheduledFileKeepsItsLineInWininit) {
    Install(Family::Win9x);
    std::string ini = WindowsFolder() + "\\wininit.ini";
    const std::string before = "[Other]\r\nkey=value\r\n\r\n[Rename]\r\nNUL=C:\\OLD~1.TMP\r\nC:\\A.DLL=C:\\B.DLL\r\n";
    ASSERT_TRUE(WriteFileBytes(ini, before));
    for (const char* name : {"one.dll", "two.dll", "three.dll"}) {
        ASSERT_TRUE(CopyFileTo(FixtureDir() + "\\uninstinuse.dll", At(name)));
        Hold("load", name);
    }
    List("one.dll\r\ntwo.dll\r\nthree.dll\r\n");
    Start("/s");
    ASSERT_TRUE(Ends());
    std::string expected = before;
    for (const char* name : {"one.dll", "two.dll", "three.dll"}) {
        expected += "NUL=" + ShortPath(At(std::string(name) + ".0.tmp")) + "\r\n";
    }
    std::string text;
    ASSERT_TRUE(ReadFileBytes(ini, &text));
    EXPECT_EQ(text, expected);
}

INSTANTIATE_TEST_SUITE_P(Families, UninstallInUse, ::testing::Values(Family::Nt, Family::Win9x),
                         [](const ::testing::TestParamInfo<Family>& info) { return std::string(FamilyName(info.param)); });

}  // namespace
}  // namespace uninsttest
