// Message strings: the ring of buffers, the resource library and the built-in texts.
#include <gtest/gtest.h>

#include "common/testenv_win.h"
#include "localization/messages.h"
#include "resources/resource.h"

using namespace testenv;

namespace {
class Messages : public ::testing::Test {
protected:
    void SetUp() override { ResourceLibrary.Load(GetModuleHandleA(nullptr), nullptr); }
    void TearDown() override { ResourceLibrary.Load(GetModuleHandleA(nullptr), nullptr); }
};

TEST_F(Messages, BuiltInTextsInCodePage936) {
    ASSERT_FALSE(ResourceLibrary.loaded);
    EXPECT_EQ(GetMsg(IDS_UNINSTALL_CAPTION), Ansi("卸载 Kolvex"));
    EXPECT_EQ(GetMsg(IDS_DELETE_BY_HAND), Ansi("你应该手动删除 %s"));  // the caller formats it
    EXPECT_EQ(GetMsg(IDS_RESTART_NEEDED), Ansi("你必须重新启动 Windows 才能完全卸载 Kolvex。"));
    EXPECT_STREQ(GetMsg(IDS_HOME_PAGE), "https://www.kolvex.example/");
    EXPECT_STREQ(GetMsg(4999), "");
}

TEST_F(Messages, NinthCallReusesTheFirstBuffer) {
    const char* texts[9];
    for (int i = 0; i < 9; ++i) texts[i] = GetMsg(IDS_PRODUCT_NAME + i);
    EXPECT_EQ(texts[8], texts[0]);
    EXPECT_EQ(std::string(texts[0]), Ansi("Kolvex 档案文件"));  // 5101 overwritten by 5109
    for (int i = 1; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(texts[i], texts[0]);
        EXPECT_STREQ(texts[i], GetMsg(IDS_PRODUCT_NAME + i));
    }
}

TEST_F(Messages, ResourceLibrarySuppliesItsOwnStringsOnly) {
    std::string folder = FixtureDir() + "\\";
    ResourceLibrary.Load(GetModuleHandleA(nullptr), folder.c_str());
    ASSERT_TRUE(ResourceLibrary.loaded);
    EXPECT_NE(ResourceModule, ProgramModule);
    EXPECT_STREQ(GetMsg(IDS_UNINSTALL_CAPTION), "Uninstall Kolvex (library)");
    EXPECT_EQ(GetMsg(IDS_UNINSTALL_COMPLETE), Ansi("卸载已经完成"));  // the library lacks it
    EXPECT_STREQ(GetMsg(4999), "");

    ResourceLibrary.Unload();
    EXPECT_FALSE(ResourceLibrary.loaded);
    EXPECT_EQ(ResourceModule, ProgramModule);
    EXPECT_EQ(GetMsg(IDS_UNINSTALL_CAPTION), Ansi("卸载 Kolvex"));
    ResourceLibrary.Unload();  // nothing loaded: no change
    EXPECT_EQ(ResourceModule, ProgramModule);
}

TEST_F(Messages, MissingLibraryLeavesTheProgramModule) {
    ResourceLibrary.Load(GetModuleHandleA(nullptr), "C:\\no such folder\\");
    EXPECT_FALSE(ResourceLibrary.loaded);
    EXPECT_EQ(ResourceModule, GetModuleHandleA(nullptr));
    EXPECT_EQ(ProgramModule, GetModuleHandleA(nullptr));
}
}  // namespace
