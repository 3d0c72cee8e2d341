// The real program on the demo host, through the desktop window: a driver
// loaded into the program (ProgramDriver.cpp) works the window on Qt's
// offscreen platform and reports what it sees; these tests judge the report,
// the screenshots and the disks. Also how the view is chosen, and that a run
// without the window never loads Qt.
#include <gtest/gtest.h>

#include <QImage>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "host/DemoHost.h"
#include "partition/MapImageBuilder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextFiles.h"

namespace {

namespace fs = std::filesystem;
using Environment = std::map<std::string, std::string>;

constexpr int kDriverStuck = 97;

// The demo host, in a folder of its own.
class DemoHost {
  public:
    DemoHost() {
        std::string error;
        made_ = host::MakeDemoHost(path().string(), &error);
        EXPECT_TRUE(made_) << error;
    }
    fs::path path() const { return folder_.path() / "host"; }
    fs::path Disk(const std::string& name) const { return path() / "disks" / (name + ".img"); }

    void SetSystemVersion(const std::string& version) {
        std::ofstream(path() / "System/Library/CoreServices/SystemVersion.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
            << "<key>ProductVersion</key><string>" << version << "</string></dict></plist>\n";
    }

  private:
    TempFolder folder_;
    bool made_ = false;
};

struct ProgramRun {
    int status = -1; // exit status; -1 when killed or not started
    std::multimap<std::string, std::string> report;
    std::string errors;

    std::vector<std::string> All(const std::string& key) const {
        std::vector<std::string> values;
        auto [begin, end] = report.equal_range(key);
        for (auto it = begin; it != end; ++it)
            values.push_back(it->second);
        return values;
    }
    // The last value reported under key ("" when none).
    std::string Last(const std::string& key) const {
        std::vector<std::string> values = All(key);
        return values.empty() ? "" : values.back();
    }
    std::string Describe() const {
        std::string text = "status " + std::to_string(status) + "\nreport:\n";
        for (const auto& [key, value] : report)
            text += "  " + key + ": " + value + "\n";
        return text + "errors:\n" + errors;
    }
};

// Runs the program with exactly this environment, standard input from
// /dev/null, for at most a minute.
ProgramRun RunProgram(const fs::path& program, const Environment& environment) {
    TempFolder scratch;
    fs::path out = scratch.path() / "out", err = scratch.path() / "err";
    std::vector<std::string> variables;
    for (const auto& [name, value] : environment)
        variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string programPath = program.string();
    char* argv[] = {programPath.data(), nullptr};

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    ProgramRun run;
    int spawned = posix_spawn(&child, programPath.c_str(), &files, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        run.errors = "cannot start " + programPath;
        return run;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            run.errors = "killed after a minute\n";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.errors += ReadFile(err);
    return run;
}

// What every run of the program here is given: the host, a runtime folder
// for Qt, and sanitizer options that tolerate the preloaded driver and what
// the D-Bus library keeps to the end.
Environment BaseEnvironment(const DemoHost& host, const fs::path& runtime) {
    Environment environment{{"PATH", "/usr/bin:/bin"},
                            {"HOME", runtime.string()},
                            {"CAPEXT_HOST", host.path().string()},
                            {"XDG_RUNTIME_DIR", runtime.string()}};
    const char* asan = std::getenv("ASAN_OPTIONS");
    environment["ASAN_OPTIONS"] =
        std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0";
    const char* lsan = std::getenv("LSAN_OPTIONS");
    environment["LSAN_OPTIONS"] =
        std::string(lsan != nullptr ? lsan : "") + ":suppressions=" + LEAK_SUPPRESSIONS;
    return environment;
}

// A run with the driver playing the scenario in the window.
ProgramRun RunScenario(const DemoHost& host, const std::string& scenario, Environment extra = {}) {
    TempFolder runtime;
    fs::permissions(runtime.path(), fs::perms::owner_all);
    fs::create_directories(SCREENSHOT_DIR);
    Environment environment = BaseEnvironment(host, runtime.path());
    environment["CAPEXT_VIEW"] = "qt";
    environment["QT_QPA_PLATFORM"] = "offscreen";
    environment["LD_PRELOAD"] = QT_PROGRAM_DRIVER;
    environment["CAPEXT_QT_DRIVER_SCENARIO"] = scenario;
    environment["CAPEXT_QT_DRIVER_REPORT"] = (runtime.path() / "report").string();
    environment["CAPEXT_QT_DRIVER_SHOTS"] = SCREENSHOT_DIR;
    for (auto& [name, value] : extra) {
        if (value.empty())
            environment.erase(name);
        else
            environment[name] = value;
    }
    ProgramRun run = RunProgram(CAPEXT_PROGRAM, environment);
    std::istringstream report(ReadFile(runtime.path() / "report"));
    for (std::string line; std::getline(report, line);) {
        size_t colon = line.find(": ");
        if (colon != std::string::npos)
            run.report.emplace(line.substr(0, colon), line.substr(colon + 2));
    }
    return run;
}

// A screenshot shows something: a window's worth of distinct colours, not
// one flat fill.
void ExpectDrawn(const std::string& path) {
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull()) << "no image at " << path;
    EXPECT_GE(image.width(), 150) << path;
    EXPECT_GE(image.height(), 60) << path;
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    EXPECT_GE(colours.size(), 16u) << path << " looks blank";
}

void ExpectScreenshot(const ProgramRun& run, const std::string& file) {
    for (const std::string& path : run.All("screenshot")) {
        if (fs::path(path).filename() == file) {
            ExpectDrawn(path);
            return;
        }
    }
    ADD_FAILURE() << "no screenshot " << file << "\n" << run.Describe();
}

class ProgramInWindow : public testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "the program opens its window only as root";
    }
};

// Everything the extend scenario must have seen and done on disk1.
void ExpectWorkedExampleExtended(const ProgramRun& run, const MapImage& before,
                                 const MapImage& after) {
    ASSERT_EQ(run.status, 0) << run.Describe();

    // At start: the popup's own item, a real separator, then every drive
    // with its media icon; nothing chosen, the button inactive.
    std::vector<std::string> items = run.All("popup-item");
    ASSERT_GE(items.size(), 2 * 3u) << run.Describe(); // reported at start and after the choice
    std::vector<std::string> atStart(items.begin(), items.begin() + items.size() / 2);
    EXPECT_EQ(atStart[0], "Choose a drive");
    EXPECT_EQ(atStart[1], "<separator>");
    ASSERT_GE(atStart.size(), 5u);
    for (size_t i = 2; i < atStart.size(); ++i)
        EXPECT_TRUE(atStart[i].ends_with(" [icon]")) << atStart[i];
    EXPECT_TRUE(atStart[2].starts_with("TARNWICK TW1600A")) << atStart[2];
    EXPECT_EQ(run.All("push1-enabled").front(), "no");

    // The chosen drive's interface, size and icon; the button active.
    EXPECT_TRUE(run.Last("popup-current").starts_with("TARNWICK TW1600A"));
    EXPECT_EQ(run.Last("stxt1"), "ATA Bus 1: Master");
    EXPECT_EQ(run.Last("stxt2"), "149.0 GB");
    EXPECT_EQ(run.Last("icon3"), "Internal icon");
    EXPECT_EQ(run.Last("push1-enabled"), "yes");

    // The note, with both texts, and the one OK button as its default.
    EXPECT_EQ(run.Last("alert-icon"), "note");
    EXPECT_EQ(run.Last("alert-title"), "Note");
    EXPECT_EQ(run.Last("alert-text"),
              "A new drive volume has been created with the extra capacity of the drive.");
    EXPECT_EQ(run.Last("alert-informative"),
              "Please restart your Macintosh, run Disk Utility and initialize the new volume.");
    EXPECT_EQ(run.All("alert-button"), std::vector<std::string>{"OK"});
    EXPECT_EQ(run.Last("alert-default"), "OK");

    // On disk: the free space at the end is a new volume to 17 blocks before
    // the end of the drive, with 16 free blocks behind it.
    const UInt32 driveBlocks = 160'041'885'696ull / 512;
    EXPECT_EQ(after.descriptor().sbBlkCount(), driveBlocks);
    ASSERT_EQ(after.slot(1).pmMapBlkCnt(), before.slot(1).pmMapBlkCnt() + 1);
    const Partition& volume = after.slot(3);
    EXPECT_EQ(volume.pmParType(), "Apple_HFS");
    EXPECT_TRUE(volume.pmPartName().starts_with("Apple_HFS_Untitled_")) << volume.pmPartName();
    EXPECT_EQ(volume.pmPyPartStart(), 268'000'000u);
    EXPECT_EQ(volume.pmPartBlkCnt(), driveBlocks - 17 - 268'000'000u);
    const Partition& tail = after.slot(4);
    EXPECT_EQ(tail.pmParType(), "Apple_Free");
    EXPECT_EQ(tail.pmPyPartStart(), driveBlocks - 17);
    EXPECT_EQ(tail.pmPartBlkCnt(), 16u);
}

TEST_F(ProgramInWindow, ExtendsTheWorkedExampleDriveThroughTheButton) {
    DemoHost host;
    const MapImage before = ReadMapImage(host.Disk("disk1").string());
    ProgramRun run = RunScenario(host, "extend");
    ExpectWorkedExampleExtended(run, before, ReadMapImage(host.Disk("disk1").string()));
    ExpectScreenshot(run, "main-drive-chosen.png");
    ExpectScreenshot(run, "alert-note.png");
}

// Xvfb on a display of its own choosing, for as long as it lives.
class XServer {
  public:
    XServer() {
        int pipeEnds[2];
        if (access("/usr/bin/Xvfb", X_OK) != 0 || pipe(pipeEnds) != 0)
            return;
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_adddup2(&files, pipeEnds[1], 3);
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>("Xvfb"),
                        const_cast<char*>("-displayfd"),
                        const_cast<char*>("3"),
                        const_cast<char*>("-nolisten"),
                        const_cast<char*>("tcp"),
                        const_cast<char*>("-screen"),
                        const_cast<char*>("0"),
                        const_cast<char*>("800x500x24"),
                        nullptr};
        if (posix_spawn(&pid_, "/usr/bin/Xvfb", &files, nullptr, argv, environ) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&files);
        close(pipeEnds[1]);
        // The server writes its display number once it takes connections.
        std::string number;
        pollfd ready{pipeEnds[0], POLLIN, 0};
        char c = 0;
        while (pid_ != 0 && poll(&ready, 1, 10000) == 1 && read(pipeEnds[0], &c, 1) == 1 &&
               c != '\n')
            number += c;
        close(pipeEnds[0]);
        if (!number.empty())
            display_ = ":" + number;
    }
    ~XServer() {
        if (pid_ != 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    // Empty when no server could be started.
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = 0;
    std::string display_;
};

TEST_F(ProgramInWindow, OnAnXServerTheSameWindowExtendsTheDrive) {
    XServer server;
    if (server.display().empty())
        GTEST_SKIP() << "no Xvfb";
    DemoHost host;
    const MapImage before = ReadMapImage(host.Disk("disk1").string());
    fs::path shots = fs::path(SCREENSHOT_DIR) / "x11";
    fs::create_directories(shots);
    ProgramRun run = RunScenario(host, "extend",
                                 {{"QT_QPA_PLATFORM", ""},
                                  {"DISPLAY", server.display()},
                                  {"CAPEXT_QT_DRIVER_SHOTS", shots.string()}});
    ExpectWorkedExampleExtended(run, before, ReadMapImage(host.Disk("disk1").string()));
    ExpectScreenshot(run, "screen-alert-note.png");
}

TEST_F(ProgramInWindow, RefusedDriveResetsThePopupAndAboutShowsAndHides) {
    DemoHost host;
    const MapImage before = ReadMapImage(host.Disk("disk3").string());
    // No CAPEXT_VIEW: a named display chooses the window.
    ProgramRun run = RunScenario(host, "refuse-about", {{"CAPEXT_VIEW", ""}, {"DISPLAY", ":97"}});
    ASSERT_EQ(run.status, 0) << run.Describe();

    EXPECT_EQ(run.Last("alert-icon"), "stop");
    EXPECT_EQ(run.Last("alert-title"), "Error");
    EXPECT_EQ(run.Last("alert-text"), "Please select a drive greater than 128 Gigabytes in size.");
    EXPECT_EQ(run.Last("alert-informative"), "");
    EXPECT_EQ(run.All("alert-button"), std::vector<std::string>{"OK"});
    // Dismissed with Return: back to the popup's own item, nothing to press.
    EXPECT_EQ(run.Last("popup-current"), "Choose a drive");
    EXPECT_EQ(run.Last("push1-enabled"), "no");
    EXPECT_TRUE(ReadMapImage(host.Disk("disk3").string()).bytes == before.bytes) << "disk3 changed";

    EXPECT_EQ(run.Last("about-stxt1"), "Capacity Extender");
    EXPECT_TRUE(run.Last("about-stxt2").starts_with("Version ")) << run.Last("about-stxt2");
    EXPECT_EQ(run.Last("about-icon1"), "App icon");
    EXPECT_EQ(run.Last("about-hidden"), "yes");

    ExpectScreenshot(run, "alert-stop.png");
    ExpectScreenshot(run, "about.png");
}

TEST_F(ProgramInWindow, AnAlertBeforeAnyWindowIsADialogToo) {
    DemoHost host;
    host.SetSystemVersion("10.1.5");
    ProgramRun run = RunScenario(host, "old-system");
    ASSERT_EQ(run.status, 0) << run.Describe();
    EXPECT_EQ(run.Last("alert-icon"), "stop");
    EXPECT_EQ(run.Last("alert-title"), "Error");
    EXPECT_EQ(run.Last("alert-text"), "Capacity Extender needs Mac OS X 10.2 or later.");
    EXPECT_TRUE(run.All("popup-item").empty()) << "no window for an old system";
}

// Without the driver: the program on its own, with an empty action script
// for whichever view without a window it falls back to.
class ViewChoice : public ProgramInWindow {
  protected:
    ProgramRun RunAlone(Environment extra, const fs::path& program = CAPEXT_PROGRAM) {
        TempFolder runtime;
        fs::permissions(runtime.path(), fs::perms::owner_all);
        fs::path script = runtime.path() / "script";
        std::ofstream(script) << "";
        Environment environment = BaseEnvironment(host_, runtime.path());
        environment["CAPEXT_SCRIPT"] = script.string();
        for (auto& [name, value] : extra)
            environment[name] = value;
        return RunProgram(program, environment);
    }

    DemoHost host_;
};

TEST_F(ViewChoice, WhenTheWindowCannotBeShownOneLineSaysWhyAndTheRunGoesOn) {
    TempFolder copy;
    fs::path bundle = copy.path() / "CapacityExtender.app";
    fs::path builtBundle = fs::path(CAPEXT_PROGRAM).parent_path().parent_path().parent_path();
    fs::create_directories(bundle / "Contents");
    for (const char* part : {"MacOS", "Resources", "Info.plist"})
        fs::copy(builtBundle / "Contents" / part, bundle / "Contents" / part,
                 fs::copy_options::recursive);
    fs::path withoutModule = bundle / "Contents/MacOS/CapacityExtender";

    struct Case {
        const char* what;
        Environment environment;
        fs::path program;
        const char* reason;
    };
    for (const Case& c : {
             Case{"X display that does not answer",
                  {{"CAPEXT_VIEW", "qt"}, {"DISPLAY", ":97"}},
                  CAPEXT_PROGRAM,
                  "cannot open the X display :97"},
             Case{"no display named", {{"CAPEXT_VIEW", "qt"}}, CAPEXT_PROGRAM, "no display"},
             Case{"no module in the bundle",
                  {{"CAPEXT_VIEW", "qt"}, {"QT_QPA_PLATFORM", "offscreen"}},
                  withoutModule,
                  "capext_view_qt.so"},
         }) {
        ProgramRun run = RunAlone(c.environment, c.program);
        EXPECT_EQ(run.status, 0) << c.what << "\n" << run.Describe();
        size_t line = run.errors.find("cannot show the window (");
        ASSERT_NE(line, std::string::npos) << c.what << "\n" << run.Describe();
        std::string said = run.errors.substr(line, run.errors.find('\n', line) - line);
        EXPECT_NE(said.find(c.reason), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(run.errors.find("cannot show the window", line + 1), std::string::npos)
            << "said once";
    }
}

TEST_F(ViewChoice, QtIsLoadedOnlyWhenTheWindowIsAskedFor) {
    // The dynamic loader names every library it loads.
    for (const char* view : {"headless", "qt"}) {
        ProgramRun run =
            RunAlone({{"CAPEXT_VIEW", view}, {"DISPLAY", ":97"}, {"LD_DEBUG", "files"}});
        bool loadsQt = run.errors.find("libQt6Widgets.so") != std::string::npos;
        EXPECT_EQ(loadsQt, std::string(view) == "qt") << view;
    }
}

} // namespace
