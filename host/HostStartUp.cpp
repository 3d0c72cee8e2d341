#include "host/HostStartUp.h"

#include "host/DemoHost.h"
#include "host/DriverStandIn.h"
#include "host/RegistryFile.h"
#include "platform/iokit/Registry.h"
#include "platform/posix/DevicePaths.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMessagePrefix = "CapacityExtender: ";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool Complain(const std::string& message) {
    std::fprintf(stderr, "%s%s\n", kMessagePrefix, message.c_str());
    return false;
}

} // namespace

std::string HostFolderPath() {
    std::string named = Environment("CAPEXT_HOST");
    if (!named.empty())
        return named;
    std::string data = Environment("XDG_DATA_HOME");
    if (data.empty()) {
        std::string home = Environment("HOME");
        if (home.empty())
            return {};
        data = home + "/.local/share";
    }
    return data + "/CapacityExtender/demo-host";
}

bool EnterSimulatedHost() {
    iokit::SetRegistryRoot(nullptr);
    std::string folder = HostFolderPath();
    if (folder.empty())
        return Complain("no host folder: neither CAPEXT_HOST nor HOME is set");

    std::error_code ec;
    if (Environment("CAPEXT_HOST").empty() &&
        !fs::exists(fs::path(folder) / "registry.plist", ec)) {
        std::string error;
        fs::create_directories(fs::path(folder).parent_path(), ec);
        // Another start-up may have made it meanwhile; then that one is used.
        if (!MakeDemoHost(folder, &error) && !fs::exists(fs::path(folder) / "registry.plist", ec))
            return Complain(error);
    }
    if (!fs::is_directory(folder, ec))
        return Complain("the host folder " + folder + " does not exist");
    fs::path root = fs::absolute(folder, ec).lexically_normal();
    if (ec || ::chdir(root.c_str()) != 0)
        return Complain("cannot enter the host folder " + folder);
    std::string rootText = root.string();
    while (rootText.size() > 1 && rootText.back() == '/')
        rootText.pop_back();
    posix::SetHostRoot(rootText);

    std::string error;
    auto plane = LoadRegistryFile(rootText + "/registry.plist", &error);
    if (!plane)
        Complain(error);
    iokit::SetRegistryRoot(plane);
    InstallDriverStandIn();
    return true;
}

} // namespace host
