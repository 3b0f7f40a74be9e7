// Fuzzes the switch parser with arbitrary command lines.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "startup/cmdline.h"

namespace {
class CountingActions : public SwitchActions {
public:
    void Wait() override { ++actions; }
    void Warning() override { ++actions; }
    int actions = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    CountingActions actions;
    CommandLine cl = ParseCommandLine(text.c_str(), actions);
    // /s is the only switch that does not count, and it never makes the count negative.
    if (cl.switchCount < 0) abort();
    if (cl.setup && cl.switchCount == 0) abort();
    return 0;
}
