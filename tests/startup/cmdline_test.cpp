// Switch parsing: the setup flag, silent mode, the switch count and the immediate actions.
#include "startup/cmdline.h"

#include <gtest/gtest.h>

#include <string>

namespace {
class Recorder : public SwitchActions {
public:
    void Wait() override { log += "W"; }
    void Warning() override { log += "N"; }
    std::string log;
};

TEST(ParseCommandLine, Table) {
    struct Case { const char* Text; bool Setup; bool Silent; int Count; const char* Actions; };
    const Case cases[] = {
        {"", false, false, 0, ""},
        {"/s", false, true, 0, ""},
        {"-S", false, true, 0, ""},
        {"/s2", false, true, 0, ""},
        {"/s /s", false, true, 0, ""},
        {"/setup", true, false, 1, ""},
        {"/setup /s", true, true, 1, ""},
        {"/s /setup", true, true, 1, ""},
        {"/SETUPX", true, false, 1, ""},
        {"-silent", false, false, 1, ""},
        {"/clean", false, false, 1, ""},
        {"/s /", false, true, 1, ""},
        {"/s-wait", false, true, 1, "W"},
        {"/wait", false, false, 1, "W"},
        {"/WAITING", false, false, 1, "W"},
        {"/warning", false, false, 1, "N"},
        {"/wait /warning /wait", false, false, 3, "WNW"},
        {"my-file", false, false, 1, ""},
        {"re-setup", true, false, 1, ""},
        {"a-s", false, true, 0, ""},
        {"plain words", false, false, 0, ""},
        {"/w", false, false, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        Recorder r;
        CommandLine cl = ParseCommandLine(c.Text, r);
        EXPECT_EQ(cl.setup, c.Setup);
        EXPECT_EQ(cl.silent, c.Silent);
        EXPECT_EQ(cl.switchCount, c.Count);
        EXPECT_EQ(r.log, c.Actions);
    }
}

TEST(ParseCommandLine, NullIsNoSwitch) {
    Recorder r;
    CommandLine cl = ParseCommandLine(nullptr, r);
    EXPECT_EQ(cl.switchCount, 0);
}
}  // namespace
