// The command line of the small tools: operands, and a few options that every
// tool understands. An argument starting with '-' is always an option, so a
// path that starts with '-' is written as ./-name.
#pragma once

#include <optional>

struct ToolUsage {
    const char* name;     // "restore-map"
    const char* operands; // "BACKUP DEVICE", as the usage line shows them
    int operandCount;
};

// Nothing when the tool goes on with argv[1] to argv[operandCount]. Otherwise
// the tool ends at once with the answered status: 0 after "-h" or "--help"
// printed the usage on standard output; 2 after an unknown option or a wrong
// number of operands, with the usage on standard error. The first option
// decides.
std::optional<int> CheckCommandLine(const ToolUsage& usage, int argc, char** argv);
