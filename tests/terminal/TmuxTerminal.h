// A program run in a terminal of its own: a detached tmux session on a tmux
// server of its own (a socket named for this test process and run), with
// keys sent and the screen read back. The server is killed, and its socket
// removed, when the object goes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace terminal_test {

class TmuxTerminal {
  public:
    // Runs the shell command in a terminal of columns × rows. The command's
    // environment is this process's without DISPLAY, WAYLAND_DISPLAY, TMUX
    // and CAPEXT_* variables, with LANG=C.UTF-8 and `environment` on top.
    TmuxTerminal(const std::string& command, const std::map<std::string, std::string>& environment,
                 int columns = 80, int rows = 24);
    ~TmuxTerminal();
    TmuxTerminal(const TmuxTerminal&) = delete;
    TmuxTerminal& operator=(const TmuxTerminal&) = delete;

    // Sends keys by tmux's names, one after the other: "Enter", "Down",
    // "Escape", "Tab", "BTab", "F10", "C-q", "M-a", ...
    void Keys(const std::vector<std::string>& keys);
    // The screen as text, one line a row; with `attributes`, the SGR escape
    // sequences that set colours and video attributes are kept.
    std::string Screen(bool attributes = false);
    // Waits until `ready` holds for the screen, and answers that screen. On
    // timeout the test fails with `what` and the last screen, and the last
    // screen is answered.
    std::string WaitFor(const std::function<bool(const std::string&)>& ready,
                        const std::string& what, bool attributes = false,
                        std::chrono::milliseconds timeout = std::chrono::seconds(15));
    std::string WaitForText(const std::string& text);
    void Resize(int columns, int rows);
    // The process the pane's shell is running in the foreground (its only
    // child), or -1.
    pid_t ForegroundChild();

  private:
    std::string Tmux(std::vector<std::string> arguments);

    std::string socket_;
    std::string socketPath_;
    std::string session_ = "capext";
};

// The shell command text of one word, quoted.
std::string ShellQuote(const std::string& word);

} // namespace terminal_test
