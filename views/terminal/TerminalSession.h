// The terminal while the text interface draws on it. Curses starts on first
// use, not before: a process that never shows anything (the one that only
// relaunches itself with root rights) leaves the terminal alone. The
// keyboard is read raw, so Ctrl-C, Ctrl-Q and Ctrl-W arrive as keys. The
// terminal is put back as it was when the view leaves it, when the session
// ends with the process, and when SIGINT, SIGTERM, SIGHUP or SIGQUIT ends the
// process (the signal then ends it as it would have).
#pragma once

#include <curses.h>

namespace terminal {

class TerminalSession {
  public:
    TerminalSession() = default;
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;
    ~TerminalSession();

    // Takes over the terminal (again, after Leave); false when it cannot.
    bool Enter();
    // Gives the terminal back; Enter takes it again.
    void Leave();

    // Attributes for a stop alert's frame and for icon labels: colours where
    // the terminal has them.
    attr_t ErrorAttributes() const;
    attr_t IconAttributes() const;

  private:
    SCREEN* screen_ = nullptr;
    bool active_ = false;
    bool colour_ = false;
};

// Whether the terminal that TERM names is one curses can drive, with a
// cursor that can be moved about the screen.
bool TerminalUsable();

} // namespace terminal
