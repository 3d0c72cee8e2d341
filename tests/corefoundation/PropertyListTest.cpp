#include "platform/corefoundation/PropertyList.h"
#include "platform/corefoundation/CFHelpers.h"
#include "tests/support/TempFolder.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using cf::Owned;
using OwnedPlist = Owned<CFPropertyListRef>;

// A document whose single value starts on line 3.
std::string Document(const std::string& value) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + value +
           "\n</plist>\n";
}

OwnedPlist Read(const std::string& xml, std::string* error = nullptr) {
    std::string ignored;
    return OwnedPlist(CreatePropertyListFromXMLData(xml, error != nullptr ? error : &ignored));
}

CFTypeRef ValueOf(CFPropertyListRef dict, const char* key) {
    Owned<CFStringRef> name(cf::CreateString(key));
    return CFDictionaryGetValue(static_cast<CFDictionaryRef>(dict), name.get());
}

TEST(PropertyListReader, EveryKindOfValue) {
    std::string error;
    auto plist = Read(Document(R"(<dict>
	<key>IOObjectClass</key>
	<string>IOATABlockStorageDevice &amp; caf&#233;</string>
	<key>AAPL,bus-id</key>
	<data>
		AAAA
		AQ==
	</data>
	<key>Removable</key>
	<false/>
	<key>Ejectable</key>
	<true/>
	<key>Ratio</key>
	<real>-1.5e3</real>
	<key>Children</key>
	<array>
		<dict/>
		<string></string>
		<data></data>
	</array>
</dict>)"),
                      &error);
    ASSERT_TRUE(plist) << error;
    ASSERT_EQ(CFGetTypeID(plist.get()), CFDictionaryGetTypeID());
    EXPECT_EQ(CFDictionaryGetCount(static_cast<CFDictionaryRef>(plist.get())), 6);

    auto name = static_cast<CFStringRef>(ValueOf(plist.get(), "IOObjectClass"));
    EXPECT_EQ(cf::ToUTF8(name), "IOATABlockStorageDevice & caf\xC3\xA9");

    auto bus = static_cast<CFDataRef>(ValueOf(plist.get(), "AAPL,bus-id"));
    ASSERT_EQ(CFGetTypeID(bus), CFDataGetTypeID());
    ASSERT_EQ(CFDataGetLength(bus), 4);
    EXPECT_EQ(CFDataGetBytePtr(bus)[3], 1);

    EXPECT_EQ(ValueOf(plist.get(), "Removable"), kCFBooleanFalse);
    EXPECT_EQ(ValueOf(plist.get(), "Ejectable"), kCFBooleanTrue);

    auto ratio = static_cast<CFNumberRef>(ValueOf(plist.get(), "Ratio"));
    EXPECT_EQ(CFNumberGetType(ratio), kCFNumberFloat64Type);
    Float64 value = 0;
    CFNumberGetValue(ratio, kCFNumberFloat64Type, &value);
    EXPECT_EQ(value, -1500.0);

    auto children = static_cast<CFArrayRef>(ValueOf(plist.get(), "Children"));
    ASSERT_EQ(CFArrayGetCount(children), 3);
    EXPECT_EQ(CFGetTypeID(CFArrayGetValueAtIndex(children, 0)), CFDictionaryGetTypeID());
    EXPECT_EQ(CFStringGetLength(static_cast<CFStringRef>(CFArrayGetValueAtIndex(children, 1))), 0);
    EXPECT_EQ(CFDataGetLength(static_cast<CFDataRef>(CFArrayGetValueAtIndex(children, 2))), 0);
}

TEST(PropertyListReader, IntegersTakeTheirSizeAndTwosComplement) {
    struct Case {
        const char* element;
        CFNumberType type;
        SInt64 value;
    };
    const std::vector<Case> cases = {
        {"<integer>160041885696</integer>", kCFNumberSInt64Type, 160041885696},
        {"<integer>-42</integer>", kCFNumberSInt64Type, -42},
        {"<integer> 7 </integer>", kCFNumberSInt64Type, 7},
        {"<integer>0x1A100000</integer>", kCFNumberSInt64Type, 0x1A100000},
        {"<integer>0Xff</integer>", kCFNumberSInt64Type, 255},
        {"<integer size=\"8\">0xFF</integer>", kCFNumberSInt8Type, -1},
        {"<integer size=\"8\">255</integer>", kCFNumberSInt8Type, -1},
        {"<integer size=\"8\">-128</integer>", kCFNumberSInt8Type, -128},
        {"<integer size=\"16\">0x8000</integer>", kCFNumberSInt16Type, -32768},
        {"<integer size=\"32\">0</integer>", kCFNumberSInt32Type, 0},
        {"<integer size=\"32\">4294967295</integer>", kCFNumberSInt32Type, -1},
        {"<integer size=\"64\">0xFFFFFFFFFFFFFFFF</integer>", kCFNumberSInt64Type, -1},
        {"<integer>18446744073709551615</integer>", kCFNumberSInt64Type, -1},
        {"<integer>-9223372036854775808</integer>", kCFNumberSInt64Type, INT64_MIN},
    };
    for (const Case& c : cases) {
        std::string error;
        auto number = Read(Document(c.element), &error);
        ASSERT_TRUE(number) << c.element << ": " << error;
        EXPECT_EQ(CFNumberGetType(static_cast<CFNumberRef>(number.get())), c.type) << c.element;
        SInt64 value = 0;
        EXPECT_TRUE(
            CFNumberGetValue(static_cast<CFNumberRef>(number.get()), kCFNumberSInt64Type, &value));
        EXPECT_EQ(value, c.value) << c.element;
    }
}

TEST(PropertyListReader, BadInputGivesOneLineWithTheLineAndTheFault) {
    struct Case {
        std::string value; // starts on line 3
        std::string error;
    };
    const std::vector<Case> cases = {
        {"<integer>12x</integer>", "line 3: <integer> holds \"12x\", which is not a number"},
        {"<integer></integer>", "line 3: <integer> holds \"\", which is not a number"},
        {"<integer>0x</integer>", "line 3: <integer> holds \"0x\", which is not a number"},
        {"<integer>-0x5</integer>", "line 3: <integer> holds \"-0x5\", which is not a number"},
        {"<integer>+5</integer>", "line 3: <integer> holds \"+5\", which is not a number"},
        {"<integer size=\"8\">300</integer>",
         "line 3: <integer size=\"8\"> holds \"300\", which is out of range for 8 bits"},
        {"<integer size=\"8\">-129</integer>",
         "line 3: <integer size=\"8\"> holds \"-129\", which is out of range for 8 bits"},
        {"<integer size=\"16\">0x10000</integer>",
         "line 3: <integer size=\"16\"> holds \"0x10000\", which is out of range for 16 bits"},
        {"<integer>18446744073709551616</integer>",
         "line 3: <integer> holds \"18446744073709551616\", which is out of range for 64 bits"},
        {"<integer size=\"12\">1</integer>",
         "line 3: <integer> has size \"12\"; the size must be 8, 16, 32 or 64"},
        {"<real>1.5.2</real>", "line 3: <real> holds \"1.5.2\", which is not a number"},
        {"<data>AA=A</data>", "line 3: <data> holds \"AA=A\", which is not base64"},
        {"<data>AAE</data>", "line 3: <data> holds \"AAE\", which is not base64"},
        {"<data>A$==</data>", "line 3: <data> holds \"A$==\", which is not base64"},
        {"<dict>\n<key>Size</key>\n<integer>1</integer>\n<key>BSD Name</key>\n</dict>",
         "line 6: <key> \"BSD Name\" has no value"},
        {"<dict>\n<key>a</key>\n<key>b</key>\n<true/>\n</dict>",
         "line 4: <key> \"a\" has no value"},
        {"<dict>\n<string>x</string>\n</dict>",
         "line 4: <dict> holds <string> where a <key> is expected"},
        {"<dict>\n<key>a</key><true/>\n<key>a</key><false/>\n</dict>",
         "line 5: <key> \"a\" appears twice in the <dict>"},
        {"<array>\n<true/>\n<date>2003-01-01T00:00:00Z</date>\n</array>",
         "line 5: unknown element <date>"},
        {"<string>a<b/></string>", "line 3: <string> holds an element <b>"},
        {"<array>\nloose\n</array>",
         "line 4: <array> holds the text \"loose\" outside any element"},
        {"<array>\n<true/>\n\n  loose\n\n</array>",
         "line 6: <array> holds the text \"loose\" outside any element"},
        {"<true>yes</true>", "line 3: <true/> holds the text \"yes\""},
        {"<key>a</key>", "line 3: <key> outside a <dict>"},
        {"", "line 2: <plist> holds no value"},
        {"<true/>\n<false/>", "line 4: <plist> holds more than one value"},
        {"<dict>\n<key>a</key>\n<string>x</dict>",
         "line 5: malformed XML: Opening and ending tag mismatch: string line 5 and dict"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Read(Document(c.value), &error)) << c.value;
        EXPECT_EQ(error, c.error) << c.value;
    }

    std::string error;
    EXPECT_FALSE(Read("<?xml version=\"1.0\"?>\n<dict/>\n", &error));
    EXPECT_EQ(error, "line 2: the document is a <dict>, not a <plist>");
    EXPECT_FALSE(Read("", &error));
    EXPECT_EQ(error.rfind("line 1: malformed XML: ", 0), 0u) << error;
    EXPECT_FALSE(Read("<plist>\n<string>\xFF</string></plist>", &error));
    EXPECT_EQ(error.rfind("line 2: malformed XML: ", 0), 0u) << error;
    // A long text is shortened in the message, which stays on one line.
    EXPECT_FALSE(Read(Document("<integer>12\n" + std::string(100, '9') + "</integer>"), &error));
    EXPECT_EQ(error, "line 3: <integer> holds \"12 " + std::string(36, '9') +
                         "...\", which is not a number");
}

// A dictionary with one value of every kind, numbers of every written width.
OwnedPlist EveryKind() {
    Owned<CFMutableDictionaryRef> dict(CFDictionaryCreateMutable(
        kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    auto set = [&](const char* key, CFTypeRef value) {
        Owned<CFStringRef> name(cf::CreateString(key));
        CFDictionarySetValue(dict.get(), name.get(), value);
        CFRelease(value);
    };
    SInt8 s8 = -1;
    SInt16 s16 = -300;
    SInt32 s32 = 0x1A100000;
    SInt64 s64 = INT64_MIN;
    Float64 tenth = 0.1;
    Float64 infinity = INFINITY;
    std::vector<UInt8> bytes(256);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<UInt8>(i);
    set("text", cf::CreateString("Tom & \"Jerry\" <caf\xC3\xA9>\n\tline two"));
    set("empty", cf::CreateString(""));
    set("data", CFDataCreate(kCFAllocatorDefault, bytes.data(), 256));
    set("no data", CFDataCreate(kCFAllocatorDefault, nullptr, 0));
    set("s8", CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt8Type, &s8));
    set("s16", CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt16Type, &s16));
    set("s32", CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &s32));
    set("s64", CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &s64));
    set("tenth", CFNumberCreate(kCFAllocatorDefault, kCFNumberFloat64Type, &tenth));
    set("infinity", CFNumberCreate(kCFAllocatorDefault, kCFNumberFloat64Type, &infinity));
    set("yes", CFRetain(kCFBooleanTrue));
    set("no", CFRetain(kCFBooleanFalse));
    Owned<CFMutableArrayRef> array(
        CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    Owned<CFMutableArrayRef> empty(
        CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(array.get(), empty.get());
    CFArrayAppendValue(array.get(), kCFBooleanTrue);
    set("array", CFRetain(array.get()));
    return OwnedPlist(dict.release());
}

TEST(PropertyListWriter, RoundTripKeepsValuesTypesAndOrder) {
    auto original = EveryKind();
    std::string xml, error;
    ASSERT_TRUE(WritePropertyListToXMLData(original.get(), &xml, &error)) << error;
    EXPECT_NE(xml.find("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                       "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"),
              std::string::npos);
    EXPECT_NE(xml.find("<integer size=\"8\">-1</integer>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<integer size=\"16\">-300</integer>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<integer size=\"32\">437256192</integer>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<integer>-9223372036854775808</integer>"), std::string::npos) << xml;

    auto copy = Read(xml, &error);
    ASSERT_TRUE(copy) << error;
    EXPECT_TRUE(CFEqual(original.get(), copy.get()));
    const char* numbers[] = {"s8", "s16", "s32", "s64"};
    const CFNumberType types[] = {kCFNumberSInt8Type, kCFNumberSInt16Type, kCFNumberSInt32Type,
                                  kCFNumberSInt64Type};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(CFNumberGetType(static_cast<CFNumberRef>(ValueOf(copy.get(), numbers[i]))),
                  types[i]);

    CFIndex count = CFDictionaryGetCount(static_cast<CFDictionaryRef>(copy.get()));
    std::vector<const void*> before(count), after(count);
    CFDictionaryGetKeysAndValues(static_cast<CFDictionaryRef>(original.get()), before.data(),
                                 nullptr);
    CFDictionaryGetKeysAndValues(static_cast<CFDictionaryRef>(copy.get()), after.data(), nullptr);
    for (CFIndex i = 0; i < count; ++i)
        EXPECT_TRUE(CFEqual(before[i], after[i])) << i;
}

TEST(PropertyListWriter, FilesAreReplacedWholeAndFaultsNamed) {
    TempFolder folder;
    std::string path = folder / "registry.plist";
    std::string error;
    auto first = EveryKind();
    ASSERT_TRUE(WritePropertyListToXMLFile(first.get(), path.c_str(), &error)) << error;
    ASSERT_TRUE(WritePropertyListToXMLFile(kCFBooleanTrue, path.c_str(), &error)) << error;
    OwnedPlist read(CreatePropertyListFromXMLFile(path.c_str(), &error));
    EXPECT_EQ(read.get(), kCFBooleanTrue) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    std::string missing = folder / "none/registry.plist";
    EXPECT_FALSE(CreatePropertyListFromXMLFile(missing.c_str(), &error));
    EXPECT_EQ(error, missing + ": cannot be read: No such file or directory");
    EXPECT_FALSE(WritePropertyListToXMLFile(kCFBooleanTrue, missing.c_str(), &error));
    EXPECT_EQ(error, missing + ": cannot be written: No such file or directory");

    std::string broken = folder.Write("broken.plist", Document("<integer>x</integer>"));
    EXPECT_FALSE(CreatePropertyListFromXMLFile(broken.c_str(), &error));
    EXPECT_EQ(error, broken + ": line 3: <integer> holds \"x\", which is not a number");
}

TEST(PropertyListWriter, RefusesWhatAPropertyListCannotCarry) {
    struct Case {
        OwnedPlist plist;
        std::string error;
    };
    auto dictWith = [](CFTypeRef key, CFTypeRef value) {
        CFMutableDictionaryRef dict =
            CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                      &kCFTypeDictionaryValueCallBacks);
        CFDictionarySetValue(dict, key, value);
        return OwnedPlist(dict);
    };
    Owned<CFURLRef> url(CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>("/tmp"), 4, true));
    std::vector<Case> cases;
    cases.push_back(
        {dictWith(CFSTR("where"), url.get()), "a URL cannot be written in a property list"});
    cases.push_back(
        {dictWith(kCFBooleanTrue, CFSTR("x")), "a dictionary key is a boolean, not a string"});
    cases.push_back({OwnedPlist(cf::CreateString("bell\a")),
                     "the string \"bell\a\" holds a control character that XML cannot carry"});
    for (const Case& c : cases) {
        std::string xml = "untouched", error;
        EXPECT_FALSE(WritePropertyListToXMLData(c.plist.get(), &xml, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(xml, "untouched");
    }
    std::string error;
    EXPECT_FALSE(WritePropertyListToXMLData(nullptr, nullptr, &error));
    EXPECT_EQ(error, "a null value cannot be written in a property list");
}

} // namespace
