// Which of Qt's window-system platforms the view opens its windows on. Qt
// ends the process when it cannot reach the one it tries, so the display is
// checked here first and a run without a usable display is told why instead.
#pragma once

#include <string>

namespace qtview {

struct PlatformChoice {
    std::string platform; // passed to Qt as -platform; empty: Qt's own choice
    std::string problem;  // why no window can be shown; empty when one can
};

// QT_QPA_PLATFORM, when set, is Qt's to honour. Otherwise the X display named
// by DISPLAY, else the Wayland display named by WAYLAND_DISPLAY, whichever
// answers first.
PlatformChoice ChoosePlatform();

} // namespace qtview
