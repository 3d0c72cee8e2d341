// Loading the desktop-window module with the dynamic loader.
#include "views/qt/QtViewLoader.h"

#include <dlfcn.h>

#include <system_error>

#include "views/qt/QtViewModule.h"

namespace qtview {

std::filesystem::path ModulePath() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return (program.parent_path() / ".." / "PlugIns" / kModuleFileName).lexically_normal();
}

std::unique_ptr<toolbox::View> LoadQtView(std::string* problem) {
    std::filesystem::path path = ModulePath();
    if (path.empty()) {
        *problem = "cannot tell where the program lies";
        return nullptr;
    }
    // Never closed: Qt cannot be unloaded from a running process.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = dlerror();
        *problem = why != nullptr ? why : "cannot load " + path.string();
        return nullptr;
    }
    auto factory = reinterpret_cast<Factory>(dlsym(module, kFactorySymbol));
    if (factory == nullptr) {
        *problem = path.string() + " has no " + kFactorySymbol;
        return nullptr;
    }
    char why[256] = {};
    toolbox::View* view = factory(why, sizeof why);
    if (view == nullptr) {
        why[sizeof why - 1] = '\0';
        *problem = why;
        return nullptr;
    }
    return std::unique_ptr<toolbox::View>(view);
}

} // namespace qtview
