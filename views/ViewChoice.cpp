// The view of this run, chosen from the environment.
#include "views/ViewChoice.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "views/headless/HeadlessView.h"
#include "views/qt/QtViewLoader.h"
#include "views/terminal/TerminalView.h"

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::unique_ptr<toolbox::View> MakeHeadlessView() {
    std::string script = Variable("CAPEXT_SCRIPT");
    if (script.empty())
        return std::make_unique<headless::HeadlessView>(std::cin, std::cout, std::cerr);
    auto file = std::make_unique<std::ifstream>(script);
    if (!*file) {
        std::cerr << "headless: cannot read the script " << script << "; running without actions\n";
        return std::make_unique<headless::HeadlessView>(std::make_unique<std::istringstream>());
    }
    return std::make_unique<headless::HeadlessView>(std::move(file));
}

} // namespace

std::unique_ptr<toolbox::View> ChooseView() {
    std::string choice = Variable("CAPEXT_VIEW");
    if (choice != "" && choice != "qt" && choice != "terminal" && choice != "headless") {
        std::cerr << program_invocation_short_name << ": CAPEXT_VIEW=" << choice
                  << " is none of qt, terminal, headless; choosing as without it\n";
        choice = "";
    }
    // Scripts and pipes keep the headless view unless another is forced.
    bool terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    if (choice.empty()) {
        bool display = !Variable("DISPLAY").empty() || !Variable("WAYLAND_DISPLAY").empty();
        choice = display ? "qt" : terminal ? "terminal" : "headless";
    }
    if (choice == "qt") {
        std::string problem;
        if (std::unique_ptr<toolbox::View> view = qtview::LoadQtView(&problem))
            return view;
        std::cerr << program_invocation_short_name << ": cannot show the window (" << problem
                  << "); going on without it\n";
        choice = terminal ? "terminal" : "headless";
    }
    if (choice == "terminal") {
        if (std::unique_ptr<toolbox::View> view = MakeTerminalView())
            return view;
        std::cerr << program_invocation_short_name
                  << ": cannot drive the terminal (TERM=" << Variable("TERM")
                  << "); going on headless\n";
    }
    return MakeHeadlessView();
}
