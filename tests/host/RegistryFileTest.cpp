#include "host/RegistryFile.h"

#include "platform/corefoundation/CFHelpers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

constexpr const char* kGoodRegistry = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
  <key>IOObjectClass</key><string>IORegistryEntry</string>
  <key>IORegistryEntryName</key><string>Root</string>
  <key>IORegistryEntryChildren</key>
  <array>
    <dict>
      <key>IOObjectClass</key><string>IOPCIDevice</string>
      <key>IORegistryEntryName</key><string>pci-ata@1</string>
      <key>AAPL,bus-id</key><data>AAAAAQ==</data>
      <key>IORegistryEntryChildren</key>
      <array>
        <dict>
          <key>IOObjectClass</key><string>com_Varnholme_ATA6BlockStorageDriver</string>
          <key>IOSuperclasses</key>
          <array><string>IOBlockStorageDriver</string><string>IOService</string></array>
          <key>unit number</key><integer size="32">1</integer>
          <key>Size</key><integer>0x25433D6000</integer>
          <key>Whole</key><true/>
          <key>Protocol Characteristics</key>
          <dict><key>Physical Interconnect</key><string>ATA</string></dict>
        </dict>
      </array>
    </dict>
    <dict>
      <key>IOObjectClass</key><string>AppleUSBEHCI</string>
    </dict>
  </array>
</dict>
</plist>
)";

TEST(RegistryFileTest, EntriesClassesAndPropertiesComeFromTheFile) {
    TempFolder folder;
    std::string error;
    auto root = host::LoadRegistryFile(folder.Write("registry.plist", kGoodRegistry), &error);
    ASSERT_TRUE(root) << error;
    EXPECT_EQ("IORegistryEntry", root->ClassName());
    EXPECT_EQ("Root", root->Name());
    ASSERT_EQ(2u, root->Children().size());
    EXPECT_EQ("AppleUSBEHCI", root->Children()[1]->ClassName());
    EXPECT_EQ("", root->Children()[1]->Name());

    const auto& pci = root->Children()[0];
    EXPECT_EQ(root, pci->Parent());
    EXPECT_EQ(nullptr, pci->Property(CFSTR("IORegistryEntryChildren")))
        << "structure keys are not properties";
    CFTypeRef busID = pci->Property(CFSTR("AAPL,bus-id"));
    ASSERT_TRUE(busID && CFGetTypeID(busID) == CFDataGetTypeID());
    EXPECT_EQ(4, CFDataGetLength(static_cast<CFDataRef>(busID)));

    ASSERT_EQ(1u, pci->Children().size());
    const auto& driver = pci->Children()[0];
    EXPECT_TRUE(driver->ConformsTo("IOBlockStorageDriver"));
    EXPECT_FALSE(driver->ConformsTo("IOPCIDevice"));
    EXPECT_EQ(nullptr, driver->Property(CFSTR("IOObjectClass")));
    auto unit = static_cast<CFNumberRef>(driver->Property(CFSTR("unit number")));
    ASSERT_TRUE(unit);
    EXPECT_EQ(kCFNumberSInt32Type, CFNumberGetType(unit));
    auto size = static_cast<CFNumberRef>(driver->Property(CFSTR("Size")));
    ASSERT_TRUE(size);
    EXPECT_EQ(kCFNumberSInt64Type, CFNumberGetType(size));
    SInt64 bytes = 0;
    CFNumberGetValue(size, kCFNumberSInt64Type, &bytes);
    EXPECT_EQ(160041885696, bytes);
    EXPECT_EQ(kCFBooleanTrue, driver->Property(CFSTR("Whole")));
    CFTypeRef protocol = driver->Property(CFSTR("Protocol Characteristics"));
    ASSERT_TRUE(protocol && CFGetTypeID(protocol) == CFDictionaryGetTypeID());
}

struct BadFile {
    const char* what;
    std::string text;    // the file; empty: no file at all
    const char* message; // a part of the one-line message besides the path
};

TEST(RegistryFileTest, ABadFileGivesNoRegistryAndOneLineNamingFileAndPlace) {
    const std::string entry = "<dict><key>IOObjectClass</key><string>IOService</string>";
    const BadFile cases[] = {
        {"missing file", "", "cannot be read"},
        {"malformed XML",
         std::string(kHeader) + "<dict>\n<key>IOObjectClass</key>\n<string>X</dict>\n</plist>\n",
         "line 5"},
        {"not a plist", "just text\n", "line 1"},
        {"top level is not a dictionary", std::string(kHeader) + "<array/>\n</plist>\n",
         "entry root: is not a dictionary"},
        {"no class",
         std::string(kHeader) + "<dict><key>Size</key><integer>1</integer></dict></plist>",
         "entry root: has no \"IOObjectClass\""},
        {"class is not a string",
         std::string(kHeader) + "<dict><key>IOObjectClass</key><integer>1</integer></dict></plist>",
         "\"IOObjectClass\" is not a class name"},
        {"class is empty",
         std::string(kHeader) + "<dict><key>IOObjectClass</key><string></string></dict></plist>",
         "\"IOObjectClass\" is not a class name"},
        {"children is not an array",
         std::string(kHeader) + entry + "<key>IORegistryEntryChildren</key>" + entry +
             "</dict></dict></plist>",
         "\"IORegistryEntryChildren\" is not an array"},
        {"a child is not a dictionary",
         std::string(kHeader) + entry + "<key>IORegistryEntryName</key><string>Root</string>" +
             "<key>IORegistryEntryChildren</key><array>" + entry +
             "<key>IORegistryEntryName</key><string>pci</string></dict><string>x</string>"
             "</array></dict></plist>",
         "entry root/(child 2): is not a dictionary"},
        {"a grandchild without class",
         std::string(kHeader) + entry + "<key>IORegistryEntryChildren</key><array>" + entry +
             "<key>IORegistryEntryName</key><string>pci</string>"
             "<key>IORegistryEntryChildren</key><array><dict/></array></dict></array></dict></"
             "plist>",
         "entry root/pci (child 1)/(child 1): has no \"IOObjectClass\""},
        {"superclasses hold a number",
         std::string(kHeader) + entry +
             "<key>IOSuperclasses</key><array><integer>3</integer></array></dict></plist>",
         "\"IOSuperclasses\" item 0 is not a class name"},
        {"name is not a string",
         std::string(kHeader) + entry + "<key>IORegistryEntryName</key><true/></dict></plist>",
         "\"IORegistryEntryName\" is not a string"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        std::string path =
            c.text.empty() ? folder / "registry.plist" : folder.Write("registry.plist", c.text);
        std::string error;
        EXPECT_EQ(nullptr, host::LoadRegistryFile(path, &error)) << c.what;
        EXPECT_EQ(0u, error.rfind(path + ": ", 0)) << c.what << ": " << error;
        EXPECT_NE(std::string::npos, error.find(c.message)) << c.what << ": " << error;
        EXPECT_EQ(std::string::npos, error.find('\n')) << c.what << ": " << error;
    }
}

TEST(RegistryFileTest, AnAbsurdlyDeepPlaneIsRefusedNotFollowedToTheEnd) {
    std::string text = kHeader;
    const int depth = 300;
    for (int i = 0; i < depth; ++i)
        text += "<dict><key>IOObjectClass</key><string>IOService</string>"
                "<key>IORegistryEntryChildren</key><array>";
    text += "<dict><key>IOObjectClass</key><string>IOService</string></dict>";
    for (int i = 0; i < depth; ++i)
        text += "</array></dict>";
    text += "</plist>";
    TempFolder folder;
    std::string error;
    EXPECT_EQ(nullptr, host::LoadRegistryFile(folder.Write("registry.plist", text), &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
