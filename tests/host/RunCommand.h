// Runs a shell command, for tests that check our output with other programs.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

// The command's standard output and error; *status is its exit status, or -1
// when it did not exit normally.
inline std::string RunCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    int result = pipe ? pclose(pipe) : -1;
    *status = result != -1 && WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}
