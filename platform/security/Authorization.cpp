#include "platform/security/Authorization.h"

#include "platform/posix/DevicePaths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct OpaqueAuthorizationRef {};

namespace {

// What the relaunched program needs of this process's environment: the host
// it runs on, the view and its script, the display, and where the default
// demo host lies. pkexec starts its tool with an almost empty environment and
// sudo resets most of it, so these are handed over explicitly through env(1).
constexpr const char* kPassedVariables[] = {
    "CAPEXT_HOST", "CAPEXT_VIEW",     "CAPEXT_SCRIPT", "DISPLAY", "WAYLAND_DISPLAY",
    "XAUTHORITY",  "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "HOME",    "TERM",
};

constexpr const char* kEnvProgram = "/usr/bin/env";

// pkexec's exit statuses for an authentication the user dismissed, or one that
// failed.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorized = 127;

const char* ProgramName() {
    return program_invocation_short_name;
}

// The first executable called `name` in the search path, or "". Only absolute
// entries are searched: an empty or relative entry names a folder inside the
// current one, which is the host folder, and a file lying there must not be
// run to grant root rights.
std::string FindInSearchPath(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos)
            end = dirs.size();
        std::string dir = dirs.substr(begin, end - begin);
        std::string candidate = dir + "/" + name;
        if (dir.starts_with('/') && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return {};
}

std::vector<std::string> LauncherCommandLine(const std::string& launcher, bool isPkexec,
                                             const char* tool, char* const* arguments) {
    std::vector<std::string> argv{launcher};
    if (isPkexec)
        argv.push_back("--keep-cwd"); // pkexec would otherwise start in root's home
    else
        argv.push_back("--"); // everything after this is the command, not sudo's options
    argv.push_back(kEnvProgram);
    for (const char* name : kPassedVariables) {
        const char* value = std::getenv(name);
        // The tool runs on the host this process runs on: its folder as
        // resolved at start-up, so that a relative CAPEXT_HOST, or none (the
        // demo host), names the same folder from inside the host folder.
        if (std::strcmp(name, "CAPEXT_HOST") == 0 && !posix::HostRoot().empty())
            value = posix::HostRoot().c_str();
        if (value)
            argv.push_back(std::string(name) + "=" + value);
    }
    argv.push_back(tool);
    for (char* const* arg = arguments; arg && *arg; ++arg)
        argv.push_back(*arg);
    return argv;
}

} // namespace

OSStatus AuthorizationCreate(const AuthorizationRights*, const AuthorizationEnvironment*,
                             AuthorizationFlags, AuthorizationRef* authorization) {
    if (!authorization)
        return errAuthorizationInvalidPointer;
    *authorization = new OpaqueAuthorizationRef;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags) {
    if (!authorization)
        return errAuthorizationInvalidRef;
    delete authorization;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationExecuteWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                            AuthorizationFlags, char* const* arguments,
                                            FILE** communicationsPipe) {
    if (!authorization)
        return errAuthorizationInvalidRef;
    if (!pathToTool || communicationsPipe)
        return errAuthorizationInvalidPointer;

    bool isPkexec = true;
    std::string launcher = FindInSearchPath("pkexec");
    if (launcher.empty()) {
        isPkexec = false;
        launcher = FindInSearchPath("sudo");
    }
    if (launcher.empty()) {
        std::fprintf(stderr,
                     "%s: cannot ask for administrator rights: neither pkexec nor sudo is "
                     "installed\n",
                     ProgramName());
        return errAuthorizationToolExecuteFailure;
    }

    std::vector<std::string> words = LauncherCommandLine(launcher, isPkexec, pathToTool, arguments);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // The tool runs in the foreground of this terminal: this process waits for
    // it, so the shell does not take the terminal back while the tool uses it.
    pid_t child = 0;
    int spawnError = posix_spawn(&child, launcher.c_str(), nullptr, nullptr, argv.data(), environ);
    if (spawnError != 0) {
        std::fprintf(stderr, "%s: cannot start %s: %s\n", ProgramName(), launcher.c_str(),
                     std::strerror(spawnError));
        return errAuthorizationToolExecuteFailure;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (isPkexec && WIFEXITED(status)) {
        if (WEXITSTATUS(status) == kPkexecDismissed)
            return errAuthorizationCanceled;
        if (WEXITSTATUS(status) == kPkexecNotAuthorized)
            return errAuthorizationDenied;
    }
    return errAuthorizationSuccess;
}
