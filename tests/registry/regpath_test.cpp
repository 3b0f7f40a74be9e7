// The key path rule: the settings key prefix, literal paths and the length limit.
#include "registry/regpath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(MapRegPath, Rule) {
    struct Case { bool CurrentUser; const char* Path; const char* Mapped; };
    const Case cases[] = {
        {true, "Setup", "Software\\Kolvex\\Setup"},
        {true, "Setup\\MenuItems", "Software\\Kolvex\\Setup\\MenuItems"},
        {true, "", "Software\\Kolvex"},                  // the settings key itself
        {true, "\\Software\\Other", "Software\\Other"},  // literal: counted from the root
        {true, "\\", ""},
        {false, "\\CLSID", "\\CLSID"},                   // other roots keep the backslash
        {false, ".zip\\ShellNew", ".zip\\ShellNew"},
        {false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.CurrentUser << " '" << c.Path << "'");
        char mapped[RegPathBufferSize];
        ASSERT_TRUE(MapRegPath(c.CurrentUser, mapped, c.Path));
        EXPECT_STREQ(mapped, c.Mapped);
    }
}

// 236 characters fit for every root and every form of path, 237 never, and a refused path
// leaves the destination as it was.
TEST(MapRegPath, LengthLimitIsTheSameForEveryRoot) {
    for (bool currentUser : {true, false}) {
        for (const char* head : {"", "\\"}) {
            for (size_t len : {size_t(236), size_t(237)}) {
                std::string path = head + std::string(len - strlen(head), 'a');
                SCOPED_TRACE(testing::Message() << currentUser << " '" << head << "' " << len);
                char mapped[RegPathBufferSize];
                memset(mapped, '#', sizeof(mapped));
                bool fits = len <= 236;
                EXPECT_EQ(MapRegPath(currentUser, mapped, path.c_str()), fits);
                if (!fits) EXPECT_EQ(mapped[0], '#');
                if (fits) EXPECT_LT(strlen(mapped), sizeof(mapped));
            }
        }
    }
}

// Buffers of every small size, allocated to their exact size so that the sanitizer sees any
// write past them.
TEST(MapRegPath, SmallBuffersAreNeverOverrun) {
    for (size_t size = 0; size < 48; ++size) {
        for (const char* path : {"", "Setup", "\\Software\\X", "Setup\\A\\B\\C\\D\\E\\F\\G\\H\\I"}) {
            SCOPED_TRACE(testing::Message() << size << " '" << path << "'");
            std::unique_ptr<char[]> dest(new char[size ? size : 1]);
            for (bool currentUser : {true, false}) {
                if (MapRegPath(currentUser, dest.get(), size, path)) EXPECT_LT(strlen(dest.get()), size);
            }
        }
    }
}

}  // namespace
