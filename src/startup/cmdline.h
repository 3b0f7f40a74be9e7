// Parsing of the program's command-line switches (no Win32 here).
#pragma once

// What the switches /wait and /warning do at once, while the command line is parsed.
class SwitchActions {
public:
    virtual void Wait() = 0;
    virtual void Warning() = 0;
protected:
    ~SwitchActions() = default;
};

struct CommandLine {
    bool setup = false;    // /setup: run the setup flow
    bool silent = false;   // /s: no questions, dialogs confirm themselves
    int switchCount = 0;   // switches that count; 0 means uninstall
};

// Parses the text after the program name. The actions run in the order the switches stand.
CommandLine ParseCommandLine(const char* text, SwitchActions& actions);
