// Driving tmux from the tests: each call runs the tmux client once.
#include "tests/terminal/TmuxTerminal.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace terminal_test {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs a program with the arguments and environment given; answers its exit
// status and standard output. Standard error goes to this process's.
Outcome Run(const std::vector<std::string>& argv, char* const* environment) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);

    Outcome outcome;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        outcome.out.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    if (spawned != 0)
        return outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::string UniqueSocketName() {
    static std::atomic<int> counter{0};
    return "capext-terminal-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

bool Dropped(const std::string& entry) {
    for (const char* name : {"DISPLAY=", "WAYLAND_DISPLAY=", "TMUX=", "TMUX_PANE=", "CAPEXT_"}) {
        if (entry.rfind(name, 0) == 0)
            return true;
    }
    return false;
}

} // namespace

std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TmuxTerminal::TmuxTerminal(const std::string& command,
                           const std::map<std::string, std::string>& environment, int columns,
                           int rows)
    : socket_(UniqueSocketName()) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        if (!Dropped(text) && text.rfind("LANG=", 0) != 0 && text.rfind("LC_ALL=", 0) != 0)
            entries.push_back(text);
    }
    entries.push_back("LANG=C.UTF-8");
    for (const auto& [name, value] : environment)
        entries.push_back(name + "=" + value);
    std::vector<char*> pointers;
    for (std::string& entry : entries)
        pointers.push_back(entry.data());
    pointers.push_back(nullptr);

    Outcome started =
        Run({CAPEXT_TMUX, "-u", "-L", socket_, "-f", "/dev/null", "new-session", "-d", "-s",
             session_, "-x", std::to_string(columns), "-y", std::to_string(rows), command},
            pointers.data());
    EXPECT_EQ(started.status, 0) << "tmux could not start " << command;
    socketPath_ = Tmux({"display-message", "-p", "#{socket_path}"});
    if (!socketPath_.empty() && socketPath_.back() == '\n')
        socketPath_.pop_back();
}

TmuxTerminal::~TmuxTerminal() {
    Run({CAPEXT_TMUX, "-L", socket_, "kill-server"}, environ);
    // The server leaves its socket behind.
    if (!socketPath_.empty())
        unlink(socketPath_.c_str());
}

std::string TmuxTerminal::Tmux(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {CAPEXT_TMUX, "-u", "-L", socket_});
    Outcome outcome = Run(arguments, environ);
    EXPECT_EQ(outcome.status, 0) << "tmux " << arguments[4] << " failed";
    return outcome.out;
}

void TmuxTerminal::Keys(const std::vector<std::string>& keys) {
    for (const std::string& key : keys)
        Tmux({"send-keys", "-t", session_, key});
}

std::string TmuxTerminal::Screen(bool attributes) {
    if (attributes)
        return Tmux({"capture-pane", "-p", "-e", "-t", session_});
    return Tmux({"capture-pane", "-p", "-t", session_});
}

std::string TmuxTerminal::WaitFor(const std::function<bool(const std::string&)>& ready,
                                  const std::string& what, bool attributes,
                                  std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string screen;
    while (true) {
        screen = Screen(attributes);
        if (ready(screen))
            return screen;
        if (std::chrono::steady_clock::now() > deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    ADD_FAILURE() << "timed out waiting for " << what << "; the screen:\n" << Screen();
    return screen;
}

std::string TmuxTerminal::WaitForText(const std::string& text) {
    return WaitFor(
        [&](const std::string& screen) { return screen.find(text) != std::string::npos; },
        "\"" + text + "\"");
}

void TmuxTerminal::Resize(int columns, int rows) {
    Tmux({"resize-window", "-t", session_, "-x", std::to_string(columns), "-y",
          std::to_string(rows)});
}

pid_t TmuxTerminal::ForegroundChild() {
    std::string shell = Tmux({"display-message", "-p", "-t", session_, "#{pane_pid}"});
    int shellPid = std::atoi(shell.c_str());
    std::ifstream children("/proc/" + std::to_string(shellPid) + "/task/" +
                           std::to_string(shellPid) + "/children");
    pid_t child = -1;
    children >> child;
    return child;
}

} // namespace terminal_test
