// The text interface, for machines without a display: the model drawn in the
// terminal with curses, and keys turned into the model's actions.
//
// The menu bar is the top line and a line of key hints the bottom one; each
// visible window is a framed panel with its title. Tab and Shift-Tab move
// between the front window's popups and push buttons; Enter or Space opens a
// popup's list (Up, Down, Enter, Esc) or presses an active button. F10 or an
// Alt key opens the menus. Ctrl-Q chooses the Quit command, Ctrl-W closes the
// front window, and a window without controls to move between (the About
// window) closes with Enter or Esc. Alerts are framed boxes in the middle of
// the screen, dismissed with Enter. Ctrl-L draws the screen afresh.
#pragma once

#include <memory>

#include "platform/toolbox/View.h"

// The view, or null when the terminal that TERM names cannot be driven
// (unknown, or unable to move its cursor).
std::unique_ptr<toolbox::View> MakeTerminalView();
