// Choosing drives in the popup, end to end: the 128 GiB gate at its edge, a
// refused pick after an accepted one, two accepted picks in a row, and drives
// whose device is missing.
#include "tests/e2e/ProgramRun.h"
#include "tests/e2e/TestHost.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr const char* kTooSmall = "Please select a drive greater than 128 Gigabytes in size.";

TestDrive DriveOfSize(SInt64 bytes, const std::string& name) {
    TestDrive drive;
    drive.productName = name;
    drive.sizeInBytes = bytes;
    drive.map = WorkedExampleMap().build();
    return drive;
}

TEST(Selection, TheGateAcceptsOneBlockShortOf128GiBAndRefusesOneByteLess) {
    TestHost host;
    host.AddDrive(DriveOfSize(137'438'952'960, "EDGE"));
    host.AddDrive(DriveOfSize(137'438'952'959, "BELOW"));
    // Accept the edge drive, then try the one below it.
    host.Write();
    ProgramRun run = RunActions(host, {"select 3", "select 4"});
    std::vector<json> states = run.States();
    ASSERT_EQ(states.size(), 3u);
    const json& accepted = states[1];
    EXPECT_TRUE(accepted["push1"]["active"].get<bool>());
    EXPECT_EQ(accepted["popup"]["value"], 3);
    EXPECT_EQ(accepted["stxt1"], "ATA Bus 1: Master");
    EXPECT_EQ(accepted["stxt2"], "128.0 GB");
    EXPECT_NE(accepted["icon3"].get<std::string>().find("Internal.icns"), std::string::npos);

    ASSERT_EQ(run.Alerts().size(), 1u);
    EXPECT_EQ(run.Alerts()[0],
              json::parse(std::string(R"({"event":"alert","kind":0,)") +
                          R"("title":"Error","message":")" + kTooSmall + R"(","secondary":null})"));
    // The refused pick puts the popup back to item 1 and leaves the edge
    // drive chosen, shown and ready.
    json refused = states[2];
    EXPECT_EQ(refused["popup"]["value"], 1);
    refused["popup"]["value"] = 3;
    EXPECT_EQ(refused, accepted);
}

TEST(Selection, ThePushButtonWorksOnTheEarlierDriveAfterARefusedPick) {
    TestHost host;
    std::string edge = host.AddDrive(DriveOfSize(160'041'885'696, "BIG"));
    std::string below = host.AddDrive(DriveOfSize(137'438'952'959, "BELOW"));
    host.Write();
    ProgramRun run = RunActions(host, {"select 3", "select 4", "click push 1"});
    ASSERT_EQ(run.Alerts().size(), 2u);
    EXPECT_EQ(run.Alerts()[1]["message"],
              "A new drive volume has been created with the extra capacity of the drive.");
    EXPECT_EQ(ReadMapImage(host.ImagePath(edge).string()).slot(3).pmPartName(),
              "Apple_HFS_Untitled_2");
    EXPECT_EQ(ReadMapImage(host.ImagePath(below).string()).slot(3).pmParType(), "Apple_Free");
}

TEST(Selection, TwoAcceptedPicksInARowLeaveTheSecondDriveChosen) {
    TestHost host;
    std::string first = host.AddDrive(DriveOfSize(200'049'647'616, "FIRST"));
    std::string second = host.AddDrive(DriveOfSize(160'041'885'696, "SECOND"));
    host.Write();
    ProgramRun run = RunActions(host, {"select 3", "select 4", "click push 1"});
    std::vector<json> states = run.States();
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states[1]["stxt2"], "186.3 GB");
    EXPECT_EQ(states[2]["stxt2"], "149.0 GB");
    EXPECT_EQ(states[2]["popup"]["value"], 4);
    EXPECT_TRUE(states[2]["icon3"].is_string());
    // The extension runs on the second drive only.
    ASSERT_EQ(run.Alerts().size(), 1u);
    EXPECT_EQ(run.Alerts()[0]["kind"], 1);
    EXPECT_EQ(ReadMapImage(host.ImagePath(second).string()).slot(3).pmPartName(),
              "Apple_HFS_Untitled_2");
    EXPECT_EQ(ReadMapImage(host.ImagePath(first).string()).slot(3).pmParType(), "Apple_Free");
}

TEST(Selection, AMissingDeviceChangesNothingUntilThePushButtonReadsIt) {
    TestHost host;
    host.AddDrive(DriveOfSize(160'041'885'696, "PRESENT"));
    TestDrive missing = DriveOfSize(160'041'885'696, "MISSING");
    missing.map.reset();
    host.AddDrive(missing);

    // Chosen first, the missing drive leaves the window and button as they were.
    host.Write();
    ProgramRun alone = RunActions(host, {"select 4", "click push 1"});
    EXPECT_TRUE(alone.Alerts().empty());
    std::vector<json> states = alone.States();
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[1]["popup"]["value"], 4);
    json shown = states[1];
    shown["popup"]["value"] = 1;
    EXPECT_EQ(shown, states[0]);

    // After a drive was opened the button is still active, and pressing it
    // reads the missing drive, which fails.
    ProgramRun after = RunActions(host, {"select 3", "select 4", "click push 1"});
    ASSERT_EQ(after.Alerts().size(), 1u);
    EXPECT_EQ(after.Alerts()[0]["message"],
              "ReadBytesFromBlock512 Failed. Sorry, unable to fix Partition Map on the currently "
              "selected drive.");
    std::vector<json> afterStates = after.States();
    ASSERT_EQ(afterStates.size(), 4u);
    EXPECT_EQ(afterStates[2]["stxt2"], afterStates[1]["stxt2"]);
}

} // namespace
} // namespace e2e
