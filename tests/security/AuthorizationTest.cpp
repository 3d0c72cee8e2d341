// Running a tool with root rights: which launcher is used, the command line it
// gets, the environment handed over, and what the caller hears back. Fake
// launchers in a private search path record how they were called.
#include "platform/security/Authorization.h"

#include "platform/posix/DevicePaths.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class RelaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir_.path() / "bin");
        record_ = dir_.path() / "record";
        env_.Set("PATH", (dir_.path() / "bin").string());
        env_.Set("CAPEXT_TEST_RECORD", record_.string());
        for (const char* name :
             {"CAPEXT_HOST", "CAPEXT_VIEW", "CAPEXT_SCRIPT", "DISPLAY", "WAYLAND_DISPLAY",
              "XAUTHORITY", "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "HOME", "TERM"})
            env_.Set(name, std::nullopt);
        ASSERT_EQ(AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, &auth_), 0);
    }
    void TearDown() override {
        EXPECT_EQ(AuthorizationFree(auth_, kAuthorizationFlagDestroyRights), 0);
    }

    // A launcher that waits a moment, records its arguments one a line, and
    // ends with the given status.
    void InstallFakeLauncher(const std::string& name, int exitStatus = 0) {
        fs::path file = dir_.path() / "bin" / name;
        std::ofstream(file) << "#!/bin/sh\n/bin/sleep 0.2\nprintf '%s\\n' \"$0\" \"$@\" > "
                               "\"$CAPEXT_TEST_RECORD\"\nexit "
                            << exitStatus << "\n";
        fs::permissions(file, fs::perms::owner_all);
    }

    OSStatus Relaunch(std::string* errors = nullptr) {
        char arg[] = "-un";
        char* args[] = {arg, nullptr};
        ::testing::internal::CaptureStderr();
        OSStatus status = AuthorizationExecuteWithPrivileges(
            auth_, "/opt/Capacity Extender.app/Contents/MacOS/CapacityExtender",
            kAuthorizationFlagDefaults, args, nullptr);
        std::string text = ::testing::internal::GetCapturedStderr();
        if (errors)
            *errors = text;
        return status;
    }

    TempFolder dir_;
    fs::path record_;
    ScopedEnvironment env_;
    AuthorizationRef auth_ = nullptr;
};

TEST_F(RelaunchTest, PkexecRunsTheToolThroughEnvWithTheProgramsVariablesOnly) {
    InstallFakeLauncher("pkexec");
    InstallFakeLauncher("sudo");
    env_.Set("CAPEXT_HOST", "/srv/hosts/demo");
    env_.Set("CAPEXT_VIEW", "headless");
    env_.Set("DISPLAY", ":5");
    env_.Set("XAUTHORITY", "/home/ann/.Xauthority");
    env_.Set("HOME", "/home/ann");
    env_.Set("LD_PRELOAD", "/tmp/evil.so");

    EXPECT_EQ(Relaunch(), 0);

    // Recorded only after the launcher's pause: the call waited for it.
    std::vector<std::string> expected = {
        (dir_.path() / "bin" / "pkexec").string(),
        "--keep-cwd",
        "/usr/bin/env",
        "CAPEXT_HOST=/srv/hosts/demo",
        "CAPEXT_VIEW=headless",
        "DISPLAY=:5",
        "XAUTHORITY=/home/ann/.Xauthority",
        "HOME=/home/ann",
        "/opt/Capacity Extender.app/Contents/MacOS/CapacityExtender",
        "-un",
    };
    EXPECT_EQ(ReadLines(record_), expected);
}

TEST_F(RelaunchTest, SudoIsUsedWhenPkexecIsMissing) {
    InstallFakeLauncher("sudo");
    // The host folder as start-up resolved it stands for a relative CAPEXT_HOST.
    env_.Set("CAPEXT_HOST", "hosts/demo");
    posix::SetHostRoot("/srv/hosts/demo");
    env_.Set("CAPEXT_SCRIPT", "/tmp/actions");
    env_.Set("WAYLAND_DISPLAY", "wayland-0");
    env_.Set("XDG_RUNTIME_DIR", "/run/user/1000");
    env_.Set("XDG_DATA_HOME", "/home/ann/.local/share");
    env_.Set("TERM", "xterm");

    EXPECT_EQ(Relaunch(), 0);

    std::vector<std::string> expected = {
        (dir_.path() / "bin" / "sudo").string(),
        "--",
        "/usr/bin/env",
        "CAPEXT_HOST=/srv/hosts/demo",
        "CAPEXT_SCRIPT=/tmp/actions",
        "WAYLAND_DISPLAY=wayland-0",
        "XDG_RUNTIME_DIR=/run/user/1000",
        "XDG_DATA_HOME=/home/ann/.local/share",
        "TERM=xterm",
        "/opt/Capacity Extender.app/Contents/MacOS/CapacityExtender",
        "-un",
    };
    EXPECT_EQ(ReadLines(record_), expected);
    posix::SetHostRoot("");
}

TEST_F(RelaunchTest, PkexecAuthenticationOutcomesAndTheToolsOwnStatus) {
    struct Case {
        int launcherStatus;
        OSStatus expected;
    };
    for (Case c : {Case{126, errAuthorizationCanceled}, Case{127, errAuthorizationDenied},
                   Case{0, 0}, Case{3, 0}}) {
        InstallFakeLauncher("pkexec", c.launcherStatus);
        EXPECT_EQ(Relaunch(), c.expected) << "launcher status " << c.launcherStatus;
    }
}

TEST_F(RelaunchTest, NoLauncherIsToldInOneLine) {
    std::string errors;
    EXPECT_EQ(Relaunch(&errors), errAuthorizationToolExecuteFailure);
    EXPECT_NE(errors.find("neither pkexec nor sudo is installed"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

TEST_F(RelaunchTest, ALauncherThatCannotStartIsToldInOneLine) {
    fs::path file = dir_.path() / "bin" / "pkexec";
    std::ofstream(file) << "#!/nonexistent/interpreter\n";
    fs::permissions(file, fs::perms::owner_all);

    std::string errors;
    EXPECT_EQ(Relaunch(&errors), errAuthorizationToolExecuteFailure);
    EXPECT_NE(errors.find("cannot start " + file.string()), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

TEST_F(RelaunchTest, ALauncherInTheCurrentFolderIsNeverRun) {
    fs::path cwd = fs::current_path();
    fs::current_path(dir_.path() / "bin");
    InstallFakeLauncher("pkexec");
    // Empty and relative entries all name the current folder (or one below it).
    for (const char* path : {":/nonexistent", ".:/nonexistent", "/nonexistent:.", "../bin"}) {
        SCOPED_TRACE(path);
        env_.Set("PATH", path);
        std::string errors;
        EXPECT_EQ(Relaunch(&errors), errAuthorizationToolExecuteFailure);
        EXPECT_FALSE(fs::exists(record_));
    }
    fs::current_path(cwd);
}

} // namespace
