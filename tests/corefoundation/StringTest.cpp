#include "platform/corefoundation/CFHelpers.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using cf::Owned;

Owned<CFStringRef> FromUTF8(const char* text) {
    return Owned<CFStringRef>(
        CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8));
}

TEST(String, GetCStringInEachEncoding) {
    struct Case {
        const char* utf8;
        CFStringEncoding encoding;
        CFIndex bufferSize;
        bool converts;
        std::string bytes; // what the buffer holds afterwards
    };
    const std::vector<Case> cases = {
        {"Maxtor 6Y160P0", kCFStringEncodingASCII, 256, true, "Maxtor 6Y160P0"},
        // Text and terminator must fit: 5 characters need 6 bytes.
        {"disk2", kCFStringEncodingASCII, 6, true, "disk2"},
        {"disk2", kCFStringEncodingASCII, 5, false, ""},
        {"", kCFStringEncodingASCII, 1, true, ""},
        // ASCII has no e acute.
        {"caf\xC3\xA9", kCFStringEncodingASCII, 256, false, ""},
        {"caf\xC3\xA9", kCFStringEncodingMacRoman, 256, true, "caf\x8E"},
        {"caf\xC3\xA9", kCFStringEncodingISOLatin1, 256, true, "caf\xE9"},
        {"caf\xC3\xA9", kCFStringEncodingUTF8, 256, true, "caf\xC3\xA9"},
        {"caf\xC3\xA9", kCFStringEncodingUTF8, 5, false, ""},
        // The euro sign is in MacRoman but not in Latin-1.
        {"\xE2\x82\xAC", kCFStringEncodingMacRoman, 256, true, "\xDB"},
        {"\xE2\x82\xAC", kCFStringEncodingISOLatin1, 256, false, ""},
    };
    for (const Case& c : cases) {
        auto string = FromUTF8(c.utf8);
        ASSERT_TRUE(string) << c.utf8;
        std::vector<char> buffer(static_cast<size_t>(c.bufferSize), 'x');
        EXPECT_EQ(CFStringGetCString(string.get(), buffer.data(), c.bufferSize, c.encoding),
                  c.converts)
            << c.utf8 << " in " << c.encoding;
        EXPECT_EQ(std::string(buffer.data()), c.bytes) << c.utf8 << " in " << c.encoding;
    }
}

TEST(String, CreateFromBytesOfEachEncoding) {
    struct Case {
        std::string bytes;
        CFStringEncoding encoding;
        const char* utf8; // null: no string
    };
    const std::vector<Case> cases = {
        {"caf\x8E", kCFStringEncodingMacRoman, "caf\xC3\xA9"},
        {"caf\xE9", kCFStringEncodingISOLatin1, "caf\xC3\xA9"},
        {"caf\xC3\xA9", kCFStringEncodingUTF8, "caf\xC3\xA9"},
        {"\xEF\xBB\xBFtext", kCFStringEncodingUTF8, "text"}, // byte order mark dropped
        {"caf\xE9", kCFStringEncodingASCII, nullptr},
        {"bad \xC3", kCFStringEncodingUTF8, nullptr},
        {"x", 0x0100, nullptr}, // an encoding this platform does not carry
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        Owned<CFDataRef> data(CFDataCreate(kCFAllocatorDefault,
                                           reinterpret_cast<const UInt8*>(c.bytes.data()),
                                           static_cast<CFIndex>(c.bytes.size())));
        Owned<CFStringRef> string(
            CFStringCreateFromExternalRepresentation(kCFAllocatorDefault, data.get(), c.encoding));
        if (c.utf8 == nullptr) {
            EXPECT_FALSE(string) << i;
            continue;
        }
        ASSERT_TRUE(string) << i;
        EXPECT_EQ(cf::ToUTF8(string.get()), c.utf8) << i;
    }
    // A terminator inside the bytes is a character of the string; its C text
    // ends there.
    Owned<CFStringRef> withNul(CFStringCreateWithBytes(kCFAllocatorDefault,
                                                       reinterpret_cast<const UInt8*>("A\0"), 2,
                                                       kCFStringEncodingMacRoman, false));
    ASSERT_TRUE(withNul);
    EXPECT_EQ(CFStringGetLength(withNul.get()), 2);
    char text[8];
    EXPECT_TRUE(CFStringGetCString(withNul.get(), text, sizeof text, kCFStringEncodingMacRoman));
    EXPECT_STREQ(text, "A");
}

TEST(String, LengthCountsUTF16Units) {
    EXPECT_EQ(CFStringGetLength(FromUTF8("").get()), 0);
    EXPECT_EQ(CFStringGetLength(FromUTF8("caf\xC3\xA9").get()), 4);
    EXPECT_EQ(CFStringGetLength(FromUTF8("\xF0\x9F\x98\x80").get()), 2); // beyond the BMP
}

TEST(String, SystemAndApplicationEncodingsAreMacRoman) {
    EXPECT_EQ(CFStringGetSystemEncoding(), kCFStringEncodingMacRoman);
    EXPECT_EQ(GetApplicationTextEncoding(), kCFStringEncodingMacRoman);
}

TEST(String, EqualityAndHashFollowTheText) {
    auto a = FromUTF8("BSD Name");
    auto b = FromUTF8("BSD Name");
    EXPECT_TRUE(CFEqual(a.get(), b.get()));
    EXPECT_TRUE(CFEqual(a.get(), CFSTR("BSD Name")));
    EXPECT_EQ(CFHash(a.get()), CFHash(b.get()));
    EXPECT_FALSE(CFEqual(a.get(), CFSTR("BSD name")));
}

TEST(String, CopyCStringToPascal) {
    Str255 pascal;
    CopyCStringToPascal("ATA Bus 1: Master", pascal);
    EXPECT_EQ(pascal[0], 17);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(pascal + 1), 17), "ATA Bus 1: Master");

    // The same buffer as source and destination.
    Str255 shared;
    std::strcpy(reinterpret_cast<char*>(shared), "FireWire");
    CopyCStringToPascal(reinterpret_cast<char*>(shared), shared);
    EXPECT_EQ(shared[0], 8);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(shared + 1), 8), "FireWire");

    // Longer texts are cut at 255 characters.
    std::string longText(300, 'z');
    longText[254] = 'L';
    CopyCStringToPascal(longText.c_str(), pascal);
    EXPECT_EQ(pascal[0], 255);
    EXPECT_EQ(pascal[255], 'L');

    CopyCStringToPascal("", pascal);
    EXPECT_EQ(pascal[0], 0);
}

} // namespace
