// The bundle's English strings table: a property list that answers every
// message the program can show, and a real sentence for "TenTwoOrHigher".
#include "partition/MapOutcomes.h"
#include "platform/corefoundation/CFHelpers.h"
#include "platform/corefoundation/PropertyList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class StringsTable : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        table_.reset(CreatePropertyListFromXMLFile(
            CAPEXT_SOURCE_DIR "/resources/English.lproj/Localizable.strings", &error));
        ASSERT_TRUE(table_) << error;
        ASSERT_EQ(CFGetTypeID(table_.get()), CFDictionaryGetTypeID());
    }

    // The text for key, or "" when the table has none.
    std::string Text(const std::string& key) {
        cf::Owned<CFStringRef> keyString(cf::CreateString(key));
        auto value =
            CFDictionaryGetValue(static_cast<CFDictionaryRef>(table_.get()), keyString.get());
        if (!value || CFGetTypeID(value) != CFStringGetTypeID())
            return "";
        return cf::ToUTF8(static_cast<CFStringRef>(value));
    }

    cf::Owned<CFPropertyListRef> table_;
};

TEST_F(StringsTable, TenTwoOrHigherIsASentenceNamingTheSystemNeeded) {
    std::string text = Text("TenTwoOrHigher");
    EXPECT_NE(text.find("Mac OS X 10.2 or later"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '.');
}

TEST_F(StringsTable, EveryMessageOfTheMapExtensionAndTheGateHasItsEnglishText) {
    std::vector<std::string> keys = {"Please select a drive greater than 128 Gigabytes in size."};
    for (const OutcomeAlert& alert : MapOutcomeAlerts()) {
        keys.push_back(alert.message);
        if (alert.secondary)
            keys.push_back(alert.secondary);
    }
    for (const std::string& key : keys)
        EXPECT_EQ(Text(key), key);
    // Nothing else: every entry is one of those, or "TenTwoOrHigher".
    EXPECT_EQ(CFDictionaryGetCount(static_cast<CFDictionaryRef>(table_.get())),
              static_cast<CFIndex>(keys.size() + 1));
}

} // namespace
