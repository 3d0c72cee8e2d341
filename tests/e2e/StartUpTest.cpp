// Starting the program on a host, as a user sees it through the headless
// view: the system version check, the window at start, the drive popup, the
// About window, and a bundle copied to another place.
#include "tests/e2e/ProgramRun.h"
#include "tests/e2e/TestHost.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr const char* kTenTwoText = "Capacity Extender needs Mac OS X 10.2 or later.";

TEST(StartUp, SystemsOlderThanTenTwoAreToldSoAndNothingElseHappens) {
    struct Case {
        const char* version;
        bool refused;
    };
    for (Case c : {Case{"10.1.5", true}, Case{"9.2.2", true}, Case{"10.2", false},
                   Case{"10.2.8", false}, Case{"10.4.11", false}}) {
        TestHost host;
        host.SetSystemVersion(c.version);
        host.Write();
        ProgramRun run = RunActions(host, {});
        EXPECT_EQ(run.exitStatus, 0) << c.version;
        if (c.refused) {
            ASSERT_EQ(run.Alerts().size(), 1u) << c.version;
            EXPECT_EQ(run.Alerts()[0],
                      json::parse(std::string(R"({"event":"alert","kind":0,"title":"Error",)") +
                                  R"("message":")" + kTenTwoText + R"(","secondary":null})"));
            EXPECT_TRUE(run.States().empty()) << "no window for " << c.version;
        } else {
            EXPECT_TRUE(run.Alerts().empty()) << c.version;
            EXPECT_EQ(run.States().size(), 1u) << c.version;
        }
    }
}

TEST(StartUp, AMissingSystemVersionIsToldOnStandardErrorAndTheProgramGoesOn) {
    TestHost host;
    host.SetSystemVersion(std::nullopt);
    host.AddDrive(WorkedExampleDrive());
    host.Write();
    ProgramRun run = RunActions(host, {"select 3"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.errors.find("cannot tell the system version"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("SystemVersion.plist"), std::string::npos) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    EXPECT_TRUE(run.Alerts().empty());
    EXPECT_TRUE(run.LastState()["push1"]["active"].get<bool>());
}

TEST(StartUp, WithoutDrivesThePopupHoldsItsItemAndTheSeparatorOnly) {
    TestHost host;
    host.Write();
    ProgramRun run = RunActions(host, {"click push 1"});
    EXPECT_EQ(run.exitStatus, 0);
    std::vector<json> states = run.States();
    ASSERT_EQ(states.size(), 2u);
    const json& start = states[0];
    const json& items = start["popup"]["items"];
    ASSERT_EQ(items.size(), 2u);
    EXPECT_FALSE(items[0]["separator"].get<bool>());
    EXPECT_TRUE(items[1]["separator"].get<bool>());
    EXPECT_EQ(start["popup"]["value"], 1);
    EXPECT_FALSE(start["push1"]["active"].get<bool>());
    EXPECT_FALSE(start["about"]["visible"].get<bool>());
    // The unknown-device icon from the bundle stands for the drive.
    std::string icon = start["icon3"].get<std::string>();
    EXPECT_EQ(fs::path(icon),
              BuiltProgram().parent_path().parent_path() / "Resources" / "unknownDevice.icns");
    // The inactive push button takes no click: nothing happens.
    EXPECT_TRUE(run.Alerts().empty());
    EXPECT_EQ(states[1], start);
}

TEST(StartUp, ThePopupListsTwentyDrivesAtMostEachWithItsIcon) {
    TestHost host;
    for (int i = 0; i < 22; ++i) {
        TestDrive drive;
        drive.productName = "DRIVE " + std::to_string(i);
        host.AddDrive(drive);
    }
    host.Write();
    ProgramRun run = RunActions(host, {});
    json state = run.LastState();
    std::vector<std::string> texts = PopupTexts(state);
    ASSERT_EQ(texts.size(), 22u);
    EXPECT_EQ(texts[2], "DRIVE 0");
    EXPECT_EQ(texts[21], "DRIVE 19");
    for (size_t i = 2; i < texts.size(); ++i) {
        const json& icon = state["popup"]["items"][i]["icon"];
        ASSERT_TRUE(icon.is_string()) << texts[i];
        EXPECT_EQ(fs::path(icon.get<std::string>()),
                  host.path() / "System/Library/Extensions/IOStorageFamily.kext/Contents/Resources/"
                                "Internal.icns");
    }
}

TEST(StartUp, ProductNamesWithMenuMetacharactersShowLiterallyAsOneItemEach) {
    TestHost host;
    TestDrive odd = WorkedExampleDrive();
    odd.productName = "A;B(C<D/E!F^G-";
    odd.sizeInBytes = 200'049'647'616;
    host.AddDrive(odd);
    TestDrive next = WorkedExampleDrive();
    next.productName = "NEXT";
    host.AddDrive(next);
    TestDrive dash;
    dash.productName = "-";
    host.AddDrive(dash);
    // Item 4 must be the drive after the odd one.
    host.Write();
    ProgramRun run = RunActions(host, {"select 4"});
    EXPECT_EQ(PopupTexts(run.LastState()),
              (std::vector<std::string>{PopupTexts(run.LastState())[0], "", "A;B(C<D/E!F^G-",
                                        "NEXT", "-"}));
    EXPECT_FALSE(run.LastState()["popup"]["items"][4]["separator"].get<bool>());
    EXPECT_EQ(run.LastState()["popup"]["value"], 4);
    EXPECT_EQ(run.LastState()["stxt2"], "149.0 GB"); // NEXT's 160 GB, not the odd drive's
}

TEST(StartUp, TheAboutWindowIsShownClosedAndShownAgain) {
    TestHost host;
    host.Write();
    ProgramRun run =
        RunActions(host, {"command abou", "command abou", "close AboutWindow", "command abou"});
    std::vector<bool> visible;
    for (const json& state : run.States())
        visible.push_back(state["about"]["visible"]);
    EXPECT_EQ(visible, (std::vector<bool>{false, true, true, false, true}));
    EXPECT_EQ(run.exitStatus, 0);
}

TEST(StartUp, TheQuitCommandEndsTheProgramThroughStandardHandling) {
    TestHost host;
    host.Write();
    ProgramRun run = RunActions(host, {"command quit", "command abou"});
    EXPECT_EQ(run.exitStatus, 0);
    // The loop ended at "quit": the About command was never read.
    ASSERT_EQ(run.States().size(), 2u);
    EXPECT_FALSE(run.LastState()["about"]["visible"].get<bool>());
}

TEST(StartUp, ABundleWithoutItsAppIconEndsWithoutAWindow) {
    TestHost host;
    host.AddDrive(WorkedExampleDrive());
    host.Write();
    fs::path copy = host.scratch() / "Broken.app";
    CopyBuiltBundle(copy);
    fs::remove(copy / "Contents/Resources/AppIcon.icns");
    RunOptions options;
    options.program = copy / "Contents/MacOS/CapacityExtender";
    options.actions = {"select 3"};
    ProgramRun run = RunProgram(host.path(), options, host.scratch());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(run.events.empty());
    EXPECT_EQ(run.errors, "");
}

TEST(StartUp, ABundleCopiedElsewhereRunsFromThere) {
    TestHost host;
    host.AddDrive(WorkedExampleDrive());
    fs::path copy = host.scratch() / "Some Folder" / "Copied.app";
    CopyBuiltBundle(copy);
    host.Write();
    RunOptions options;
    options.program = copy / "Contents/MacOS/CapacityExtender";
    ProgramRun run = RunProgram(host.path(), options, host.scratch());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.LastState()["icon3"], (copy / "Contents/Resources/unknownDevice.icns").string());
}

TEST(StartUp, IconPathsThatDoNotFitLeaveTheirIconsUnset) {
    // The Resources folder's path (with its '/') leaves room in 1024 bytes
    // for "AppIcon.icns" and "AppLogo.icns" but not for "unknownDevice.icns".
    constexpr size_t kResourcesLength = 1008;
    TestHost host;
    host.Write();
    const std::string inBundle = "/X.app/Contents/Resources/";
    fs::path folder = FolderOfLength(host.scratch(), kResourcesLength - inBundle.size());
    fs::path copy = folder / "X.app";
    ASSERT_EQ((copy / "Contents/Resources/").string().size(), kResourcesLength);
    CopyBuiltBundle(copy);

    RunOptions options;
    options.program = copy / "Contents/MacOS/CapacityExtender";
    ProgramRun run = RunProgram(host.path(), options, host.scratch());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(run.LastState()["icon3"].is_null());
    EXPECT_EQ(PopupTexts(run.LastState()).size(), 2u);
}

} // namespace
} // namespace e2e
