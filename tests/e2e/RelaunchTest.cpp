// The ordinary user's start: the program runs itself again with root rights
// through pkexec (or sudo) and ends. The tests run as root, so these runs drop
// to the user "nobody" and find a fake pkexec first in their search path,
// which records how it was called instead of asking for a password.
#include "tests/e2e/ProgramRun.h"
#include "tests/e2e/TestHost.h"
#include "tests/support/TextFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace e2e {
namespace {

constexpr int kNobody = 65534;

class Relaunch : public ::testing::Test {
  protected:
    void SetUp() override {
        host_.AddDrive(WorkedExampleDrive());
        host_.Write();
        bin_ = host_.scratch() / "bin";
        fs::create_directories(bin_);
        record_ = host_.scratch() / "record";
        // The unprivileged runs must reach the host and write their record.
        for (fs::path dir = host_.scratch(); dir != dir.root_path(); dir = dir.parent_path()) {
            if (dir == fs::temp_directory_path())
                break;
            fs::permissions(dir, fs::perms::all, fs::perm_options::add);
        }
    }

    void InstallFakePkexec() {
        fs::path fake = bin_ / "pkexec";
        std::ofstream(fake) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record_.string() << "'\n";
        fs::permissions(fake, fs::perms::all);
    }

    // The search path holds the fake launcher's folder only, and the
    // variables the relaunch passes on are all cleared but HOME.
    ProgramRun RunAsNobody(const fs::path& program) {
        RunOptions options;
        options.program = program;
        options.userId = kNobody;
        options.environment["PATH"] = bin_.string();
        options.environment["HOME"] = "/nonexistent";
        for (const char* name : {"CAPEXT_SCRIPT", "DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY",
                                 "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "TERM"})
            options.environment[name] = "";
        return RunProgram(host_.path(), options, host_.scratch());
    }

    TestHost host_;
    fs::path bin_;
    fs::path record_;
};

TEST_F(Relaunch, AnOrdinaryUserRunsTheProgramAgainAsRootWithTheArgumentUn) {
    InstallFakePkexec();
    ProgramRun run = RunAsNobody(BuiltProgram());
    EXPECT_EQ(run.exitStatus, 0) << run.errors;
    EXPECT_TRUE(run.events.empty()) << "the first process shows no window";
    std::vector<std::string> expected = {
        "--keep-cwd",
        "/usr/bin/env",
        "CAPEXT_HOST=" + host_.path().string(),
        "CAPEXT_VIEW=headless",
        "HOME=/nonexistent",
        fs::canonical(BuiltProgram()).string(),
        "-un",
    };
    EXPECT_EQ(ReadLines(record_), expected);
}

TEST_F(Relaunch, WithoutPkexecOrSudoTheFirstProcessSaysSoInOneLine) {
    ProgramRun run = RunAsNobody(BuiltProgram());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.errors.find("neither pkexec nor sudo is installed"), std::string::npos)
        << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
}

TEST_F(Relaunch, AnExecutablePathLongerThan1024BytesIsAFailedLookup) {
    InstallFakePkexec();
    fs::path folder = FolderOfLength(host_.scratch(), 1100);
    for (fs::path dir = folder; dir != host_.scratch(); dir = dir.parent_path())
        fs::permissions(dir, fs::perms::all, fs::perm_options::add);
    CopyBuiltBundle(folder / "X.app");
    ProgramRun run = RunAsNobody(folder / "X.app/Contents/MacOS/CapacityExtender");
    EXPECT_EQ(run.exitStatus, 255) << run.errors; // main's -1
    EXPECT_FALSE(fs::exists(record_)) << "nothing may be run with a cut path";
}

} // namespace
} // namespace e2e
