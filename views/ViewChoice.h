// Chooses how the program meets a person, from the environment.
//
// CAPEXT_VIEW=headless|qt|terminal forces a view. The headless view reads
// its actions from the file CAPEXT_SCRIPT names, or from standard input.
// Until the desktop and terminal views exist, every run is headless.
//
// The program's main hands the result to the toolbox before anything else:
//     toolbox::SetToolboxView(ChooseView());
#pragma once

#include <memory>

#include "platform/toolbox/View.h"

std::unique_ptr<toolbox::View> ChooseView();
