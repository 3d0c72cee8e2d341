// The view of this run, chosen from the environment.
#include "views/ViewChoice.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "views/headless/HeadlessView.h"

std::unique_ptr<toolbox::View> ChooseView() {
    // The desktop and terminal views are not built yet: whatever CAPEXT_VIEW
    // asks for, the run is headless.
    const char* script = std::getenv("CAPEXT_SCRIPT");
    if (script == nullptr || *script == '\0')
        return std::make_unique<headless::HeadlessView>(std::cin, std::cout, std::cerr);
    auto file = std::make_unique<std::ifstream>(script);
    if (!*file) {
        std::cerr << "headless: cannot read the script " << script << "; running without actions\n";
        return std::make_unique<headless::HeadlessView>(std::make_unique<std::istringstream>());
    }
    return std::make_unique<headless::HeadlessView>(std::move(file));
}
