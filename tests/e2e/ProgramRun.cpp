#include "tests/e2e/ProgramRun.h"

#include "tests/support/TextFiles.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace e2e {

fs::path BuiltProgram() {
    return CAPEXT_BUILT_PROGRAM;
}

void CopyBuiltBundle(const fs::path& bundle) {
    fs::create_directories(bundle.parent_path());
    fs::copy(BuiltProgram().parent_path().parent_path().parent_path(), bundle,
             fs::copy_options::recursive);
}

fs::path FolderOfLength(const fs::path& base, size_t length) {
    std::string path = base.string();
    if (length < path.size() + 2)
        throw std::invalid_argument("base is too long");
    while (path.size() < length) {
        size_t room = length - path.size() - 1; // after the next '/'
        // Never leave a single character for the last component's '/' alone.
        size_t part = std::min<size_t>(room, 200);
        if (room > 200 && room - part < 2)
            part -= 2;
        path += "/" + std::string(part, 'd');
    }
    fs::create_directories(path);
    return path;
}

std::vector<json> ProgramRun::Events(const std::string& kind) const {
    std::vector<json> found;
    for (const json& event : events)
        if (event.value("event", "") == kind)
            found.push_back(event);
    return found;
}

std::vector<json> ProgramRun::Alerts() const {
    return Events("alert");
}

std::vector<json> ProgramRun::States() const {
    return Events("state");
}

json ProgramRun::LastState() const {
    std::vector<json> states = States();
    if (states.empty())
        throw std::runtime_error("the program printed no state");
    return states.back();
}

ProgramRun RunActions(const TestHost& host, std::vector<std::string> actions) {
    RunOptions options;
    options.actions = std::move(actions);
    return RunProgram(host.path(), options, host.scratch());
}

std::vector<std::string> PopupTexts(const json& state) {
    std::vector<std::string> texts;
    for (const json& item : state.at("popup").at("items"))
        texts.push_back(item.at("text").get<std::string>());
    return texts;
}

namespace {

// This process's environment without the program's own variables, with the
// run's variables on top.
std::vector<std::string> Environment(const fs::path& hostFolder, const RunOptions& options,
                                     const fs::path& script) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        size_t equals = text.find('=');
        if (equals == std::string::npos || text.rfind("CAPEXT_", 0) == 0)
            continue;
        variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    variables["CAPEXT_VIEW"] = "headless";
    variables["CAPEXT_HOST"] = hostFolder.string();
    if (!options.stdinActions)
        variables["CAPEXT_SCRIPT"] = script.string();
    for (const auto& [name, value] : options.environment) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : variables)
        result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ProgramRun RunProgram(const fs::path& hostFolder, const RunOptions& options,
                      const fs::path& scratch) {
    fs::path script = scratch / "actions";
    fs::path out = scratch / "stdout";
    fs::path err = scratch / "stderr";
    {
        std::ofstream file(script);
        for (const std::string& action : options.actions)
            file << action << "\n";
    }

    std::vector<std::string> argv;
    if (options.userId) {
        std::string id = std::to_string(*options.userId);
        argv = {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups", "--"};
    }
    argv.push_back(options.program.string());
    std::vector<std::string> env = Environment(hostFolder, options, script);
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(env);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, options.stdinActions ? script.c_str() : "/dev/null",
                                     O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    pid_t child = 0;
    int spawnError = posix_spawn(&child, argvPointers[0], &files, nullptr, argvPointers.data(),
                                 envPointers.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawnError != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(spawnError));
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }

    ProgramRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.errors = ReadFile(err);
    std::istringstream lines(ReadFile(out));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty())
            continue;
        run.events.push_back(json::parse(line)); // every line must be one JSON object
    }
    return run;
}

} // namespace e2e
