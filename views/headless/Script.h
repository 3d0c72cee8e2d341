// The actions of a headless run, one a line:
//   select N         choose item N of the drive popup ('popb' 1)
//   click SIG N      click control (SIG, N) of the main window
//   command CODE     choose the menu command with that four-character ID
//   close WINDOW     click the close box of the named window
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "platform/toolbox/ToolboxTypes.h"

namespace headless {

struct SelectAction {
    MenuItemIndex item;
};
struct ClickAction {
    ControlID control;
};
struct CommandAction {
    MenuCommand command;
};
struct CloseAction {
    std::string window;
};

// A line to skip.
struct NoAction {};
// A line that is not an action, with what is wrong with it.
struct BadAction {
    std::string reason;
};

typedef std::variant<NoAction, BadAction, SelectAction, ClickAction, CommandAction, CloseAction>
    ScriptLine;

ScriptLine ParseScriptLine(std::string_view line);

} // namespace headless
