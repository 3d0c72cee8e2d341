// Shared set-up of the toolbox tests: a fresh model, the program's interface
// file, temporary files, icon family files and a view that records.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/toolbox/View.h"
#include "tests/support/TempFolder.h"

// Every test starts from an empty model in a temporary folder of its own.
class ToolboxTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // An interface file holding the given <dict> body.
    IBNibRef LoadNib(const std::string& body);
    // The program's own interface file, its menu bar installed and both
    // windows created (hidden).
    void LoadMainNib();

    TempFolder dir_;
    WindowRef mainWindow_ = nullptr;
    WindowRef aboutWindow_ = nullptr;
};

FSRef MakeFSRef(const std::string& path);
ControlRef ControlOf(WindowRef window, OSType signature, SInt32 id);

// A valid icon family file with one 16x16 image.
void WriteIconFamily(const std::string& path);

// A view that records what it is shown and runs a test's actions as its loop.
class RecordingView : public toolbox::View {
  public:
    std::function<void(toolbox::Model&)> loop;
    std::vector<toolbox::AlertInfo> alerts;
    DialogItemIndex answer = 0; // 0: the default button
    int changes = 0;

    void RunEventLoop(toolbox::Model& model) override {
        if (loop)
            loop(model);
    }
    DialogItemIndex RunAlert(toolbox::Model&, const toolbox::AlertInfo& alert) override {
        alerts.push_back(alert);
        return answer != 0 ? answer : alert.defaultButton;
    }
    void Changed(toolbox::Model&) override { ++changes; }
};

// Installs a RecordingView and answers it (the toolbox owns it).
RecordingView& InstallRecordingView();
