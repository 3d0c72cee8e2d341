// The application's main window made from the program's interface file, its
// drive popup holding the separator, and a host folder that is the current
// directory, as the program has them when discovery and selection run.
#pragma once

#include "RegistryFixture.h"
#include "app/ControlHelpers.h"
#include "app/Windows.h"
#include "drives/DriveTable.h"
#include "host/DriveIcons.h"
#include "platform/posix/DevicePaths.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/Nibs.h"
#include "platform/toolbox/ToolboxModel.h"
#include "platform/toolbox/View.h"
#include "tests/support/AlertRecorder.h"

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace drivetest {

class MainWindowTest : public RegistryTest {
  protected:
    void SetUp() override {
        toolbox::ResetToolbox();
        toolbox::SetToolboxView(std::make_unique<AlertRecorder>(&alerts_));
        IBNibRef nib = nullptr;
        ASSERT_EQ(noErr, CreateNibReferenceFromFile(CAPEXT_MAIN_NIB, &nib));
        ASSERT_EQ(noErr, CreateWindowFromNib(nib, CFSTR("MainWindow"), &gMainWindow));
        DisposeNibReference(nib);
        ASSERT_EQ(noErr, AddSeparatorToPopupRef(gMainWindow, 1));

        gActiveDrive = nullptr;
        gUnixReadFileRef = 0;
        gUnknownDriveIconRef = nullptr;
        gCurrentDriveIconRef = nullptr;

        posix::SetHostRoot(host_.path().string());
        previousDirectory_ = std::filesystem::current_path();
        std::filesystem::current_path(host_.path());
    }

    void TearDown() override {
        if (gUnixReadFileRef > 0)
            close(gUnixReadFileRef);
        gUnixReadFileRef = 0;
        gActiveDrive = nullptr;
        std::filesystem::current_path(previousDirectory_);
        gMainWindow = nullptr;
        toolbox::ResetToolbox();
        RegistryTest::TearDown();
    }

    // A device node of the host: a small file standing in for the disk.
    void AddDevice(const std::string& name) { host_.Write("dev/" + name, "disk"); }
    // An icon file at a path relative to the host folder.
    void AddIcon(const std::string& relativePath) {
        std::filesystem::create_directories((host_.path() / relativePath).parent_path());
        std::string error;
        ASSERT_TRUE(
            host::WriteDriveIconFile(host::DriveIconKind::Internal, host_ / relativePath, &error))
            << error;
    }

    ControlRef Popup() {
        ControlID id{'popb', 1};
        ControlRef popup = nullptr;
        GetControlByID(gMainWindow, &id, &popup);
        return popup;
    }
    // The main window's control as a view shows it.
    toolbox::ControlInfo Shown(OSType signature, SInt32 number) {
        for (const auto& window : toolbox::ViewModel().Windows()) {
            if (window.window != gMainWindow)
                continue;
            for (const auto& control : window.controls)
                if (control.id.signature == signature && control.id.id == number)
                    return control;
        }
        ADD_FAILURE() << "no such control";
        return {};
    }

    TempFolder host_;
    std::vector<toolbox::AlertInfo> alerts_;

  private:
    std::filesystem::path previousDirectory_;
};

} // namespace drivetest
