// Starting and ending curses, and putting the terminal back on every way out.
#include "views/terminal/TerminalSession.h"

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

namespace terminal {
namespace {

constexpr short kErrorPair = 1;
constexpr short kIconPair = 2;
// How long a lone Esc waits for the rest of a key's sequence, in ms.
constexpr int kEscapeDelay = 25;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the signal handler needs, prepared beforehand: it may only call
// async-signal-safe functions.
int gTerminalFd = -1;
struct termios gShellModes;
char gResetSequence[256];
size_t gResetLength = 0;
volatile sig_atomic_t gRestoreOnSignal = 0;

void RestoreTerminalAndEnd(int signal) {
    if (gRestoreOnSignal) {
        tcsetattr(gTerminalFd, TCSANOW, &gShellModes);
        ssize_t ignored = write(gTerminalFd, gResetSequence, gResetLength);
        (void)ignored;
    }
    // Installed with SA_RESETHAND: the default action ends the process once
    // the handler returns.
    std::raise(signal);
}

void InstallSignalHandlers() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = RestoreTerminalAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kEndingSignals)
        sigaction(signal, &action, nullptr);
}

void AppendCapability(const char* name) {
    const char* value = tigetstr(name);
    if (value == nullptr || value == reinterpret_cast<const char*>(-1))
        return;
    size_t length = std::strlen(value);
    if (gResetLength + length > sizeof gResetSequence)
        return;
    std::memcpy(gResetSequence + gResetLength, value, length);
    gResetLength += length;
}

// What endwin sends, for the signal handler: attributes off, cursor shown,
// keypad off, and the shell's screen back (or a fresh line where the
// terminal has no separate screen).
void PrepareResetSequence() {
    gResetLength = 0;
    AppendCapability("sgr0");
    AppendCapability("cnorm");
    AppendCapability("rmkx");
    size_t before = gResetLength;
    AppendCapability("rmcup");
    if (gResetLength == before && gResetLength + 2 <= sizeof gResetSequence) {
        std::memcpy(gResetSequence + gResetLength, "\r\n", 2);
        gResetLength += 2;
    }
}

// Texts are UTF-8: the character type locale must say so for curses to
// write them and for the wide-character conversions.
void UseUtf8Characters() {
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

int TerminalFd() {
    return isatty(STDOUT_FILENO) ? STDOUT_FILENO : STDIN_FILENO;
}

} // namespace

TerminalSession::~TerminalSession() {
    Leave();
    if (screen_ != nullptr)
        delscreen(screen_);
}

bool TerminalSession::Enter() {
    if (active_)
        return true;
    if (screen_ != nullptr) {
        // Back after Leave: a refresh restores the terminal's modes and screen.
        refresh();
    } else {
        UseUtf8Characters();
        gTerminalFd = TerminalFd();
        if (tcgetattr(gTerminalFd, &gShellModes) != 0)
            gTerminalFd = -1;
        // Before curses starts, so that it leaves these signals to us.
        InstallSignalHandlers();
        screen_ = newterm(nullptr, stdout, stdin);
        if (screen_ == nullptr)
            return false;
        set_escdelay(kEscapeDelay);
        raw();
        noecho();
        nonl();
        keypad(stdscr, TRUE);
        curs_set(0);
        if (has_colors() && start_color() == OK) {
            use_default_colors();
            colour_ = init_pair(kErrorPair, COLOR_RED, -1) == OK &&
                      init_pair(kIconPair, COLOR_CYAN, -1) == OK;
        }
        PrepareResetSequence();
    }
    active_ = true;
    gRestoreOnSignal = gTerminalFd >= 0;
    return true;
}

void TerminalSession::Leave() {
    if (!active_)
        return;
    gRestoreOnSignal = 0;
    endwin();
    std::fflush(stdout);
    active_ = false;
}

attr_t TerminalSession::ErrorAttributes() const {
    return A_BOLD | (colour_ ? COLOR_PAIR(kErrorPair) : 0);
}

attr_t TerminalSession::IconAttributes() const {
    return colour_ ? COLOR_PAIR(kIconPair) : A_NORMAL;
}

bool TerminalUsable() {
    int error = 0;
    if (setupterm(nullptr, TerminalFd(), &error) != OK)
        return false;
    // A terminal that cannot move its cursor (TERM=dumb) cannot show a window.
    const char* moveCursor = tigetstr("cup");
    bool usable = moveCursor != nullptr && moveCursor != reinterpret_cast<const char*>(-1);
    del_curterm(cur_term);
    return usable;
}

} // namespace terminal
