// The command lines of make-demo-host and restore-map: an argument starting
// with '-' is an option and never taken for a path.
#include "RunCommand.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// What the tool printed on one stream only, with the other discarded.
std::string Stdout(const std::string& command, int* status) {
    return RunCommand("(" + command + " 2>/dev/null)", status);
}
std::string Stderr(const std::string& command, int* status) {
    return RunCommand("(" + command + " >/dev/null)", status);
}

TEST(ToolCommandLine, HelpAndUnknownOptionsAreAnsweredWithoutTouchingAnyPath) {
    const struct {
        std::string program, arguments;
        int status;
        bool onStdout; // the usage goes to standard output, else to standard error
        std::string says;
    } cases[] = {
        {MAKE_DEMO_HOST_PROGRAM, "--help", 0, true, "usage: make-demo-host DIR"},
        {MAKE_DEMO_HOST_PROGRAM, "-h", 0, true, "usage: make-demo-host DIR"},
        {MAKE_DEMO_HOST_PROGRAM, "-x", 2, false, "make-demo-host: unknown option -x"},
        {MAKE_DEMO_HOST_PROGRAM, "host --force", 2, false, "unknown option --force"},
        {MAKE_DEMO_HOST_PROGRAM, "-", 2, false, "unknown option -"},
        {MAKE_DEMO_HOST_PROGRAM, "", 2, false, "usage: make-demo-host DIR"},
        {MAKE_DEMO_HOST_PROGRAM, "one two", 2, false, "usage: make-demo-host DIR"},
        {RESTORE_MAP_PROGRAM, "--help", 0, true, "usage: restore-map BACKUP DEVICE"},
        {RESTORE_MAP_PROGRAM, "backup.apm -h", 0, true, "usage: restore-map BACKUP DEVICE"},
        {RESTORE_MAP_PROGRAM, "-v backup.apm disk.img", 2, false, "restore-map: unknown option -v"},
        {RESTORE_MAP_PROGRAM, "backup.apm", 2, false, "usage: restore-map BACKUP DEVICE"},
    };
    for (const auto& c : cases) {
        const std::string what = c.program + " " + c.arguments;
        TempFolder cwd;
        const std::string command = "cd " + cwd.path().string() + " && " + what;
        int status = -1;
        std::string shown = c.onStdout ? Stdout(command, &status) : Stderr(command, &status);
        EXPECT_EQ(c.status, status) << what;
        EXPECT_NE(std::string::npos, shown.find(c.says)) << what << "\n" << shown;
        std::string other = c.onStdout ? Stderr(command, &status) : Stdout(command, &status);
        EXPECT_EQ("", other) << what;
        EXPECT_TRUE(std::filesystem::is_empty(cwd.path())) << what << " made or wrote something";
    }
}

TEST(ToolCommandLine, APathStartingWithADashIsWrittenWithItsFolder) {
    TempFolder cwd;
    int status = -1;
    std::string output =
        RunCommand("cd " + cwd.path().string() + " && " MAKE_DEMO_HOST_PROGRAM " ./-demo", &status);
    EXPECT_EQ(0, status) << output;
    EXPECT_TRUE(std::filesystem::exists(cwd.path() / "-demo/registry.plist"));
}

} // namespace
