#include "platform/toolbox/Gestalt.h"
#include "platform/posix/DevicePaths.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

std::string SystemVersionPlist(const std::string& version) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "  <key>ProductName</key><string>Mac OS X</string>\n"
           "  <key>ProductVersion</key><string>" +
           version + "</string>\n</dict>\n</plist>\n";
}

class GestaltTest : public ::testing::Test {
  protected:
    void SetUp() override { posix::SetHostRoot(host_.path().string()); }
    void TearDown() override { posix::SetHostRoot(""); }

    std::string WriteVersionFile(const std::string& text) {
        return host_.Write("System/Library/CoreServices/SystemVersion.plist", text);
    }

    TempFolder host_;
};

TEST_F(GestaltTest, SystemVersionIsAnsweredAsBinaryCodedDecimal) {
    const struct {
        const char* version;
        SInt32 answer;
    } cases[] = {
        {"10.3.9", 0x1039},  {"10.4.11", 0x1049}, {"10.2", 0x1020},   {"10.1.5", 0x1015},
        {"10.12.6", 0x1096}, {"9.2.2", 0x0922},   {"10.0.0", 0x1000},
    };
    for (const auto& c : cases) {
        WriteVersionFile(SystemVersionPlist(c.version));
        SInt32 answer = 0;
        EXPECT_EQ(noErr, Gestalt(gestaltSystemVersion, &answer)) << c.version;
        EXPECT_EQ(c.answer, answer) << c.version;
        EXPECT_EQ("", GestaltProblem());
    }
}

TEST_F(GestaltTest, AnUnknowableVersionIsAnErrorThatNamesTheFile) {
    const std::string path = host_ / "System/Library/CoreServices/SystemVersion.plist";
    SInt32 answer = 0x7777;
    EXPECT_EQ(fnfErr, Gestalt(gestaltSystemVersion, &answer));
    EXPECT_NE(std::string::npos, GestaltProblem().find(path)) << GestaltProblem();

    const char* bad[] = {
        "<plist><dict><key>ProductVersion</key><string>10.3.9</dict></plist>", // malformed
        "<plist><array/></plist>",
        "<plist><dict><key>ProductName</key><string>Mac OS X</string></dict></plist>",
        "<plist><dict><key>ProductVersion</key><integer>10</integer></dict></plist>",
    };
    for (const char* text : bad) {
        WriteVersionFile(text);
        EXPECT_NE(noErr, Gestalt(gestaltSystemVersion, &answer)) << text;
        EXPECT_NE(std::string::npos, GestaltProblem().find(path)) << GestaltProblem();
    }
    for (const char* version : {"ten", "10", "10.x", "10.3.9beta", "", "10..3"}) {
        WriteVersionFile(SystemVersionPlist(version));
        EXPECT_NE(noErr, Gestalt(gestaltSystemVersion, &answer)) << version;
    }
    EXPECT_EQ(0x7777, answer) << "a failed call leaves the answer alone";
}

TEST_F(GestaltTest, OtherSelectorsAreUndefined) {
    WriteVersionFile(SystemVersionPlist("10.3.9"));
    SInt32 answer = 0;
    EXPECT_EQ(gestaltUndefSelectorErr, Gestalt('cpuv', &answer));
}

} // namespace
