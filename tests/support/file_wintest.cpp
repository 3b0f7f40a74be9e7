// File on real files, pipes and a full table of open files.
#include "support/file.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/testenv_win.h"
#include "support/errorstate.h"

using namespace testenv;

namespace {
int TakenSlots() {
    int taken = 0;
    for (File* slot : OpenFiles) taken += slot != nullptr;
    return taken;
}

class FileTest : public testing::Test {
protected:
    FileTest() : dir_("filetest") {}
    void SetUp() override {
        path_ = dir_ / "data.bin";
        ASSERT_TRUE(WriteFileBytes(path_, "0123456789"));
        ASSERT_EQ(TakenSlots(), 0);
    }
    void TearDown() override { EXPECT_EQ(TakenSlots(), 0); }
    ScratchDir dir_;
    std::string path_;
};

TEST_F(FileTest, OpenFailures) {
    File missing;
    EXPECT_FALSE(missing.Open((dir_ / "missing.bin").c_str(), false, true));
    EXPECT_EQ(missing.lastError, FileNotFound);
    EXPECT_EQ(missing.handle, INVALID_HANDLE_VALUE);

    // Held without sharing: the open fails for another reason, which leaves lastError 0.
    HANDLE held = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    File locked;
    locked.lastError = 7;
    EXPECT_FALSE(locked.Open(path_.c_str(), false, true));
    EXPECT_EQ(locked.lastError, 0);
    CloseHandle(held);
    EXPECT_EQ(TakenSlots(), 0);
}

// Another program may have the file open for writing: only an open that shares writing works.
TEST_F(FileTest, ShareWriteLetsWritersKeepTheFile) {
    HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    File strict;
    EXPECT_FALSE(strict.Open(path_.c_str(), false, false));
    File sharing;
    EXPECT_TRUE(sharing.Open(path_.c_str(), false, true));
    EXPECT_STREQ(sharing.fileName, path_.c_str());
    CloseHandle(writer);
}

TEST_F(FileTest, ReadSeekAndTell) {
    File file;
    ASSERT_TRUE(file.Open(path_.c_str(), false, true));
    char buffer[16] = {};
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_EQ(file.Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Tell(), 4);
    file.Seek(8, FILE_BEGIN);
    EXPECT_EQ(file.Read(buffer, 16), 2);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(file.Read(buffer, 16), 0);  // at the end
    EXPECT_EQ(file.lastError, 0);
    // Positions beyond 4 GiB keep their high part both ways.
    file.Seek(0x100000005LL, FILE_BEGIN);
    EXPECT_EQ(file.Tell(), 0x100000005LL);
    EXPECT_EQ(file.Read(buffer, 16), 0);
    file.Seek(3, FILE_BEGIN);
    EXPECT_EQ(file.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '3');
}

TEST_F(FileTest, FailedReadsReturnMinusOne) {
    File closed;
    char buffer[32];
    EXPECT_EQ(closed.Read(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(closed.lastError, FileReadFailed);
    closed.Seek(5, FILE_BEGIN);  // nothing to move
    EXPECT_EQ(closed.Tell(), -1);

    // A pipe whose writer went away: the read fails, and so does the retry with 20000
    // bytes that large reads from a pipe get.
    const char pipeName[] = "\\\\.\\pipe\\kvx_file_test";
    HANDLE server = CreateNamedPipeA(pipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    File pipe;
    ASSERT_TRUE(pipe.Open(pipeName, false, true));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server, "abc", 3, &written, nullptr));
    std::vector<char> big(30000);
    EXPECT_EQ(pipe.Read(big.data(), (int)big.size()), 3);
    CloseHandle(server);
    EXPECT_EQ(pipe.Read(big.data(), (int)big.size()), -1);
    EXPECT_EQ(pipe.lastError, FileReadFailed);
}

TEST_F(FileTest, CloseAndDestroy) {
    {
        File never;  // destroying a File that was never opened closes nothing
    }
    File file;
    ASSERT_TRUE(file.Open(path_.c_str(), false, true));
    EXPECT_EQ(TakenSlots(), 1);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(TakenSlots(), 0);
    EXPECT_TRUE(file.Close());  // a second close has nothing to do
    {
        File scoped;
        ASSERT_TRUE(scoped.Open(path_.c_str(), false, true));
        EXPECT_EQ(TakenSlots(), 1);
    }
    EXPECT_EQ(TakenSlots(), 0);
}

TEST_F(FileTest, FullTableOfOpenFiles) {
    std::vector<std::unique_ptr<File>> files;
    for (int i = 0; i < MaxOpenFiles; ++i) {
        files.push_back(std::make_unique<File>());
        ASSERT_TRUE(files.back()->Open(path_.c_str(), false, true)) << i;
        ASSERT_EQ(OpenFiles[i], files.back().get());
    }
    File extra;
    EXPECT_TRUE(extra.Open(path_.c_str(), false, true));  // opens, but takes no slot
    char c = 0;
    EXPECT_EQ(extra.Read(&c, 1), 1);
    EXPECT_EQ(TakenSlots(), MaxOpenFiles);
    for (File* slot : OpenFiles) EXPECT_NE(slot, &extra);
    EXPECT_TRUE(extra.Close());
    EXPECT_EQ(TakenSlots(), MaxOpenFiles);  // closing it cleared nobody's slot

    // A freed slot is the first one taken again.
    files[10].reset();
    EXPECT_EQ(OpenFiles[10], nullptr);
    File again;
    ASSERT_TRUE(again.Open(path_.c_str(), false, true));
    EXPECT_EQ(OpenFiles[10], &again);
    again.Close();
    files.clear();
}

TEST_F(FileTest, OpeningAnOpenFileAgainClosesTheFirstHandle) {
    File file;
    ASSERT_TRUE(file.Open(path_.c_str(), false, true));
    HANDLE first = file.handle;
    ASSERT_TRUE(file.Open(path_.c_str(), false, true));
    EXPECT_NE(file.handle, first);
    EXPECT_EQ(TakenSlots(), 1);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(first, &flags));
}
}  // namespace
