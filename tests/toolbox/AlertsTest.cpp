// Standard alerts: their parameters, what the view is shown, and the answer.
#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/StandardAlerts.h"
#include "platform/toolbox/Windows.h"
#include "tests/toolbox/ToolboxFixture.h"

namespace {

class Alerts : public ToolboxTest {
  protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        ASSERT_EQ(GetStandardAlertDefaultParams(&params_, kStdCFStringAlertVersionOne), noErr);
    }
    AlertStdCFStringAlertParamRec params_{};
};

TEST_F(Alerts, DefaultsHaveOneOKButton) {
    EXPECT_EQ(params_.version, kStdCFStringAlertVersionOne);
    EXPECT_EQ(params_.defaultButton, kAlertStdAlertOKButton);
    EXPECT_EQ(params_.cancelButton, 0);
    EXPECT_EQ(params_.cancelText, nullptr);
    EXPECT_EQ(params_.otherText, nullptr);
    EXPECT_FALSE(params_.helpButton);
    AlertStdCFStringAlertParamRec other{};
    EXPECT_EQ(GetStandardAlertDefaultParams(&other, 2), paramErr);
}

TEST_F(Alerts, AreShownWithTheirTextsAndTitleAndAnsweredByTheView) {
    RecordingView& view = InstallRecordingView();
    params_.movable = true;
    params_.defaultText = nullptr;
    DialogRef alert = nullptr;
    ASSERT_EQ(CreateStandardAlert(kAlertNoteAlert, CFSTR("Done."), CFSTR("Restart now."), &params_,
                                  &alert),
              noErr);
    ASSERT_EQ(SetWindowTitleWithCFString(GetDialogWindow(alert), CFSTR("Note")), noErr);
    DialogItemIndex item = 0;
    ASSERT_EQ(RunStandardAlert(alert, nullptr, &item), noErr);

    ASSERT_EQ(view.alerts.size(), 1u);
    const toolbox::AlertInfo& shown = view.alerts[0];
    EXPECT_EQ(shown.type, kAlertNoteAlert);
    EXPECT_EQ(shown.title, "Note");
    EXPECT_EQ(shown.message, "Done.");
    EXPECT_EQ(shown.secondary, "Restart now.");
    ASSERT_EQ(shown.buttons.size(), 1u);
    EXPECT_EQ(shown.buttons[0].label, "OK");
    EXPECT_EQ(item, kAlertStdAlertOKButton);
    // Running disposes of the alert.
    EXPECT_EQ(RunStandardAlert(alert, nullptr, &item), paramErr);
}

TEST_F(Alerts, OfferTheButtonsTheParametersName) {
    RecordingView& view = InstallRecordingView();
    view.answer = kAlertStdAlertCancelButton;
    params_.cancelText = kAlertDefaultCancelText;
    params_.otherText = CFSTR("Later");
    params_.cancelButton = kAlertStdAlertCancelButton;
    DialogRef alert = nullptr;
    ASSERT_EQ(CreateStandardAlert(kAlertCautionAlert, CFSTR("Sure?"), nullptr, &params_, &alert),
              noErr);
    DialogItemIndex item = 0;
    ASSERT_EQ(RunStandardAlert(alert, nullptr, &item), noErr);
    EXPECT_EQ(item, kAlertStdAlertCancelButton);
    const toolbox::AlertInfo& shown = view.alerts.at(0);
    EXPECT_FALSE(shown.secondary.has_value());
    EXPECT_EQ(shown.title, ""); // nobody set it
    ASSERT_EQ(shown.buttons.size(), 3u);
    EXPECT_EQ(shown.buttons[0].label, "Later");
    EXPECT_EQ(shown.buttons[1].label, "Cancel");
    EXPECT_EQ(shown.buttons[2].label, "OK");
}

TEST_F(Alerts, AreRefusedWithoutTextOrWithAMissingDefaultButton) {
    DialogRef alert = reinterpret_cast<DialogRef>(1);
    EXPECT_EQ(CreateStandardAlert(kAlertStopAlert, nullptr, nullptr, &params_, &alert), paramErr);
    EXPECT_EQ(alert, nullptr);
    params_.defaultButton = kAlertStdAlertCancelButton; // but no cancel button
    EXPECT_EQ(CreateStandardAlert(kAlertStopAlert, CFSTR("x"), nullptr, &params_, &alert),
              paramErr);
}

TEST_F(Alerts, WithoutAViewAreAnsweredWithTheDefaultButton) {
    DialogRef alert = nullptr;
    ASSERT_EQ(CreateStandardAlert(7, CFSTR("Plain"), nullptr, nullptr, &alert), noErr);
    DialogItemIndex item = 0;
    EXPECT_EQ(RunStandardAlert(alert, nullptr, &item), noErr);
    EXPECT_EQ(item, kAlertStdAlertOKButton);
}

} // namespace
