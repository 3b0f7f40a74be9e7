// Error codes kept by precedence, and the fatal out-of-memory exception.
#include "support/errorstate.h"

#include <gtest/gtest.h>

namespace {
class ErrorStateTest : public testing::Test {
protected:
    void SetUp() override { Errors = ErrorState{}; }
    void TearDown() override { Errors = ErrorState{}; }
};

TEST_F(ErrorStateTest, PrecedenceOfRecordedCodes) {
    struct Case { int First; int Second; int Kept; };
    const Case cases[] = {
        {1, 2, 2}, {2, 1, 2}, {8, 2, 8}, {2, 8, 8}, {255, 1, 255}, {1, 255, 1},
        {8, 1, 8}, {2, 255, 2}, {8, 9, 9}, {0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.First << " then " << c.Second);
        ErrorState state;
        state.RecordCode(c.First);
        state.RecordCode(c.Second);
        EXPECT_EQ(state.errorCode, c.Kept);
        EXPECT_EQ(state.errorCount, 2);
    }
}

TEST_F(ErrorStateTest, OutOfMemoryThrowsEightAndRecordsIt) {
    Errors.RecordCode(2);
    try {
        Errors.OutOfMemory();
        FAIL() << "returned";
    } catch (int code) {
        EXPECT_EQ(code, 8);
    }
    EXPECT_EQ(Errors.errorCode, 8);
    EXPECT_EQ(Errors.errorCount, 2);
}

TEST_F(ErrorStateTest, RaiseFatalIgnoresCode255OnlyWhenTold) {
    Errors.raiseCode255 = false;
    Errors.RaiseFatal(255);  // returns
    EXPECT_EQ(Errors.errorCount, 0);
    Errors.raiseCode255 = true;
    EXPECT_THROW(Errors.RaiseFatal(255), int);
    EXPECT_EQ(Errors.errorCode, 255);
}

TEST_F(ErrorStateTest, FileNotificationsChangeNothing) {
    Errors.NotifyCloseFailed("a");
    Errors.NotifyReadFailed("a");
    Errors.NotifySeekFailed("a");
    EXPECT_FALSE(Errors.ConfirmReadRetry("a"));
    EXPECT_EQ(Errors.errorCode, 0);
    EXPECT_EQ(Errors.errorCount, 0);
}
}  // namespace
