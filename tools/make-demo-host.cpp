// make-demo-host DIR: writes the demo host (the same one the program makes on
// first use) into DIR, which must not exist yet or be empty.
#include "host/DemoHost.h"
#include "tools/CommandLine.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (std::optional<int> status = CheckCommandLine({"make-demo-host", "DIR", 1}, argc, argv))
        return *status;
    std::string error;
    if (!host::MakeDemoHost(argv[1], &error)) {
        std::fprintf(stderr, "make-demo-host: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
