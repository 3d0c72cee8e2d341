// Chooses how the program meets a person, from the environment.
//
// CAPEXT_VIEW=qt|terminal|headless forces a view. Without it, the desktop
// window (qt) when a display is named (DISPLAY or WAYLAND_DISPLAY), else the
// terminal when standard input and output are one, else headless (scripts
// and pipes). When the window cannot be shown, one line on standard error
// says why and the run goes on in the terminal (headless without one). When
// the terminal cannot be driven (TERM unknown, or dumb), one line says so and
// the run is headless. The headless view reads its actions from the file
// CAPEXT_SCRIPT names, or from standard input.
//
// The program's main hands the result to the toolbox before anything else:
//     toolbox::SetToolboxView(ChooseView());
#pragma once

#include <memory>

#include "platform/toolbox/View.h"

std::unique_ptr<toolbox::View> ChooseView();
