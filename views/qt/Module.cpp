// The module's entry: the program calls this factory after loading it.
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "views/qt/Platform.h"
#include "views/qt/QtView.h"
#include "views/qt/QtViewModule.h"

extern "C" __attribute__((visibility("default"))) toolbox::View*
CapextCreateQtView(char* problem, std::size_t room) {
    qtview::PlatformChoice choice = qtview::ChoosePlatform();
    if (!choice.problem.empty()) {
        if (room > 0) {
            std::size_t length = std::min(choice.problem.size(), room - 1);
            std::memcpy(problem, choice.problem.data(), length);
            problem[length] = '\0';
        }
        return nullptr;
    }
    return new qtview::QtView(choice.platform);
}

// The factory has the form the program expects.
static_assert(std::is_same_v<decltype(&CapextCreateQtView), qtview::Factory>);
