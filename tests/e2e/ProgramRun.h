// Running the built program as a user would, through the headless view: the
// actions go in as a script (or on standard input), the JSON lines of
// standard output come back with the exit status and standard error.
#pragma once

#include "tests/e2e/TestHost.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;
using nlohmann::json;

// The program in the bundle the build made.
fs::path BuiltProgram();

struct RunOptions {
    fs::path program = BuiltProgram();
    // Given in CAPEXT_SCRIPT, or on standard input when stdinActions is set.
    std::vector<std::string> actions;
    bool stdinActions = false;
    // Added to (or, when empty, removed from) the environment.
    std::map<std::string, std::string> environment;
    // Run as this user and group instead of root (setpriv).
    std::optional<int> userId;
};

struct ProgramRun {
    int exitStatus = -1;
    std::vector<json> events; // every line of standard output
    std::string errors;       // standard error

    // The events of one kind ("alert", "state"), in order.
    std::vector<json> Events(const std::string& kind) const;
    std::vector<json> Alerts() const;
    std::vector<json> States() const;
    // The state printed after the last action (or at the start).
    json LastState() const;
};

ProgramRun RunProgram(const fs::path& hostFolder, const RunOptions& options,
                      const fs::path& scratch);

// Copies the built bundle whole to bundle (".../Name.app").
void CopyBuiltBundle(const fs::path& bundle);

// A folder below base whose path is exactly length characters long, made of
// components short enough for the file system.
fs::path FolderOfLength(const fs::path& base, size_t length);

// Runs the built program on the host (already written) with these actions.
ProgramRun RunActions(const TestHost& host, std::vector<std::string> actions);

// The texts of the items of the drive popup in a state.
std::vector<std::string> PopupTexts(const json& state);

} // namespace e2e
