#include "tools/CommandLine.h"

#include <cstdio>
#include <string_view>

namespace {

void PrintUsage(const ToolUsage& usage, std::FILE* stream) {
    std::fprintf(stream, "usage: %s %s\n(a path that starts with '-' is written as ./-name)\n",
                 usage.name, usage.operands);
}

} // namespace

std::optional<int> CheckCommandLine(const ToolUsage& usage, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.empty() || argument[0] != '-')
            continue;
        if (argument == "-h" || argument == "--help") {
            PrintUsage(usage, stdout);
            return 0;
        }
        std::fprintf(stderr, "%s: unknown option %s\n", usage.name, argv[i]);
        PrintUsage(usage, stderr);
        return 2;
    }
    if (argc - 1 != usage.operandCount) {
        PrintUsage(usage, stderr);
        return 2;
    }
    return std::nullopt;
}
