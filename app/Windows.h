// The application's two windows and the handlers through which every user
// action reaches the rest of the program.
#pragma once

#include "platform/toolbox/ToolboxTypes.h"

extern WindowRef gMainWindow;
extern WindowRef gAboutWindow;

OSStatus CreateAllWindows();
