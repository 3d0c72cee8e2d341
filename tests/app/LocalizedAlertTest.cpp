// The localized alert as a view receives it: the kind passes through as the
// alert type, the title follows the kind, and a key the strings table does
// not know is shown as it is.
#include "app/LocalizedAlert.h"
#include "platform/toolbox/View.h"
#include "tests/support/AlertRecorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(LocalizedAlert, EachKindHasItsTypeAndTitleAndOneOKButton) {
    std::vector<toolbox::AlertInfo> alerts;
    toolbox::SetToolboxView(std::make_unique<AlertRecorder>(&alerts));
    struct Case {
        SInt16 kind;
        const char* title;
    };
    const Case cases[] = {
        {0, "Error"}, {1, "Note"}, {2, "Caution"}, {3, "Message"}, {7, "Message"}};
    for (const Case& c : cases)
        DoStandardLocalizedAlert(CFSTR("Not in any table."), c.kind == 1 ? CFSTR("More.") : nullptr,
                                 c.kind);
    toolbox::SetToolboxView(nullptr);

    ASSERT_EQ(alerts.size(), std::size(cases));
    for (size_t i = 0; i < alerts.size(); ++i) {
        const toolbox::AlertInfo& alert = alerts[i];
        EXPECT_EQ(alert.type, cases[i].kind);
        EXPECT_EQ(alert.title, cases[i].title) << "kind " << cases[i].kind;
        EXPECT_EQ(alert.message, "Not in any table.");
        EXPECT_EQ(alert.secondary,
                  cases[i].kind == 1 ? std::optional<std::string>("More.") : std::nullopt);
        ASSERT_EQ(alert.buttons.size(), 1u);
        EXPECT_EQ(alert.buttons[0].item, 1);
        EXPECT_EQ(alert.defaultButton, 1);
        EXPECT_EQ(alert.cancelButton, 0);
    }
}

} // namespace
