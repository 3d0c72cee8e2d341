// The contract between the program and the desktop-window module, which the
// program loads at run time only when the window is to be shown, so that a
// run without a window never loads Qt. No Qt type appears here.
#pragma once

#include <cstddef>

#include "platform/toolbox/View.h"

namespace qtview {

// The module's file, in the bundle's Contents/PlugIns folder.
inline constexpr const char* kModuleFileName = "capext_view_qt.so";
// The factory the module exports.
inline constexpr const char* kFactorySymbol = "CapextCreateQtView";

// Makes the view, which the caller owns; or answers null after writing why
// the window cannot be shown (one phrase, NUL-terminated, at most room bytes).
using Factory = toolbox::View* (*)(char* problem, std::size_t room);

} // namespace qtview
