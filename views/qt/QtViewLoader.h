// Loads the desktop-window module from the bundle and makes its view. The
// module, and Qt with it, stays loaded to the end of the process.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/toolbox/View.h"

namespace qtview {

// Contents/PlugIns/capext_view_qt.so of the bundle whose Contents/MacOS holds
// the running program.
std::filesystem::path ModulePath();

// The view of the module at ModulePath(); null, with *problem set to one
// phrase, when the module cannot be loaded or no display can be opened.
std::unique_ptr<toolbox::View> LoadQtView(std::string* problem);

} // namespace qtview
