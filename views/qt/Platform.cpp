// Finding a display the window can open on, before Qt tries it.
#include "views/qt/Platform.h"

#include <QDir>
#include <QLibraryInfo>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace qtview {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Connects and authenticates as Qt's X platform will.
bool XDisplayAnswers() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// The compositor's socket: WAYLAND_DISPLAY as a path, or a name in XDG_RUNTIME_DIR.
bool WaylandDisplayAnswers(const std::string& display) {
    std::string path = display;
    if (path.front() != '/') {
        std::string runtime = Variable("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return false;
        path = runtime + "/" + display;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool answers = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return answers;
}

bool QtHasWaylandPlatform() {
    QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
    return !platforms.entryList({"libqwayland*"}, QDir::Files).isEmpty();
}

} // namespace

PlatformChoice ChoosePlatform() {
    if (!Variable("QT_QPA_PLATFORM").empty())
        return {};
    std::string x = Variable("DISPLAY");
    std::string wayland = Variable("WAYLAND_DISPLAY");
    if (!x.empty() && XDisplayAnswers())
        return {"xcb", ""};
    if (!wayland.empty() && WaylandDisplayAnswers(wayland) && QtHasWaylandPlatform())
        return {"wayland", ""};

    if (!x.empty())
        return {"", "cannot open the X display " + x};
    if (wayland.empty())
        return {"", "no display: neither DISPLAY nor WAYLAND_DISPLAY is set"};
    if (!WaylandDisplayAnswers(wayland))
        return {"", "cannot open the Wayland display " + wayland};
    return {"", "Qt's Wayland platform is not installed"};
}

} // namespace qtview
