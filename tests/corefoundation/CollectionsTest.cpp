// Retain counts, equality and the containers: dictionaries and arrays.
#include "platform/corefoundation/CFHelpers.h"

#include <gtest/gtest.h>

namespace {

using cf::Owned;

Owned<CFMutableDictionaryRef> NewDictionary() {
    return Owned<CFMutableDictionaryRef>(CFDictionaryCreateMutable(
        kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
}

Owned<CFStringRef> NewString(const char* text) {
    return Owned<CFStringRef>(
        CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8));
}

TEST(Ownership, CreateRetainRelease) {
    CFStringRef string =
        CFStringCreateWithCString(kCFAllocatorDefault, "x", kCFStringEncodingASCII);
    EXPECT_EQ(CFGetRetainCount(string), 1);
    EXPECT_EQ(CFRetain(string), string);
    EXPECT_EQ(CFGetRetainCount(string), 2);
    CFRelease(string);
    EXPECT_EQ(CFGetRetainCount(string), 1);
    CFRelease(string); // freed here: ASan reports a leak otherwise

    CFRelease(nullptr);
    EXPECT_EQ(CFRetain(nullptr), nullptr);
    EXPECT_EQ(CFGetTypeID(nullptr), 0u);
}

TEST(Ownership, ConstantsAreInternedAndImmortal) {
    CFStringRef constant = CFSTR("Error");
    EXPECT_EQ(CFSTR("Error"), constant);
    CFIndex count = CFGetRetainCount(constant);
    CFRelease(constant);
    CFRelease(constant);
    EXPECT_EQ(CFGetRetainCount(constant), count);
    EXPECT_EQ(cf::ToUTF8(constant), "Error");

    CFRelease(kCFBooleanTrue);
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
    EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));
    EXPECT_EQ(CFGetTypeID(kCFBooleanTrue), CFBooleanGetTypeID());
}

TEST(Ownership, ContainersRetainWhatTheyHoldAndReleaseItWhenFreed) {
    auto key = NewString("key");
    auto value = NewString("value");
    auto element = NewString("element");
    {
        auto dict = NewDictionary();
        CFDictionarySetValue(dict.get(), key.get(), value.get());
        EXPECT_EQ(CFGetRetainCount(key.get()), 2);
        EXPECT_EQ(CFGetRetainCount(value.get()), 2);

        Owned<CFMutableArrayRef> array(
            CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
        CFArrayAppendValue(array.get(), element.get());
        CFArrayAppendValue(array.get(), element.get());
        EXPECT_EQ(CFGetRetainCount(element.get()), 3);
    }
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    EXPECT_EQ(CFGetRetainCount(value.get()), 1);
    EXPECT_EQ(CFGetRetainCount(element.get()), 1);
}

TEST(Dictionary, EqualButDistinctKeysFindTheSameEntry) {
    auto dict = NewDictionary();
    auto stored = NewString("Device Characteristics");
    auto value = NewString("ATA");
    CFDictionarySetValue(dict.get(), stored.get(), value.get());

    auto lookup = NewString("Device Characteristics");
    ASSERT_NE(lookup.get(), stored.get());
    EXPECT_EQ(CFDictionaryGetValue(dict.get(), lookup.get()), value.get());
    EXPECT_EQ(CFDictionaryGetValue(dict.get(), CFSTR("Device Characteristics")), value.get());
    EXPECT_EQ(CFDictionaryGetValue(dict.get(), CFSTR("Device")), nullptr);
    // A key of another type never matches a string key.
    SInt32 one = 1;
    Owned<CFNumberRef> number(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &one));
    EXPECT_EQ(CFDictionaryGetValue(dict.get(), number.get()), nullptr);
}

TEST(Dictionary, KeepsInsertionOrderAndReplacesInPlace) {
    auto dict = NewDictionary();
    const char* names[] = {"zeta", "alpha", "mid"};
    for (const char* name : names) {
        auto key = NewString(name);
        CFDictionarySetValue(dict.get(), key.get(), kCFBooleanFalse);
    }
    auto replacement = NewString("new");
    auto alpha = NewString("alpha");
    CFDictionarySetValue(dict.get(), alpha.get(), replacement.get());

    ASSERT_EQ(CFDictionaryGetCount(dict.get()), 3);
    const void* keys[3];
    const void* values[3];
    CFDictionaryGetKeysAndValues(dict.get(), keys, values);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(cf::ToUTF8(static_cast<CFStringRef>(keys[i])), names[i]);
    EXPECT_EQ(values[1], replacement.get());
    EXPECT_EQ(CFGetRetainCount(replacement.get()), 2);
}

TEST(Equality, ByValueAcrossContainers) {
    auto a = NewDictionary();
    auto b = NewDictionary();
    auto key1 = NewString("one");
    auto key2 = NewString("two");
    SInt8 small = 7;
    Float64 real = 7.0;
    Owned<CFNumberRef> seven8(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt8Type, &small));
    Owned<CFNumberRef> seven64(CFNumberCreate(kCFAllocatorDefault, kCFNumberFloat64Type, &real));
    // Same pairs in another order, numbers of other types with the same value.
    CFDictionarySetValue(a.get(), key1.get(), seven8.get());
    CFDictionarySetValue(a.get(), key2.get(), kCFBooleanTrue);
    CFDictionarySetValue(b.get(), key2.get(), kCFBooleanTrue);
    CFDictionarySetValue(b.get(), key1.get(), seven64.get());
    EXPECT_TRUE(CFEqual(a.get(), b.get()));
    EXPECT_EQ(CFHash(seven8.get()), CFHash(seven64.get()));

    CFDictionarySetValue(b.get(), key2.get(), kCFBooleanFalse);
    EXPECT_FALSE(CFEqual(a.get(), b.get()));

    Owned<CFMutableArrayRef> list1(
        CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    Owned<CFMutableArrayRef> list2(
        CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(list1.get(), key1.get());
    CFArrayAppendValue(list1.get(), key2.get());
    CFArrayAppendValue(list2.get(), key2.get());
    CFArrayAppendValue(list2.get(), key1.get());
    EXPECT_FALSE(CFEqual(list1.get(), list2.get())) << "arrays compare in order";
    EXPECT_EQ(CFArrayGetValueAtIndex(list1.get(), 1), key2.get());
    EXPECT_EQ(CFArrayGetValueAtIndex(list1.get(), 2), nullptr);
    EXPECT_FALSE(CFEqual(key1.get(), list1.get()));
}

TEST(Data, BytesAndRanges) {
    const UInt8 bytes[] = {1, 2, 3, 4, 5};
    Owned<CFDataRef> data(CFDataCreate(kCFAllocatorDefault, bytes, 5));
    EXPECT_EQ(CFGetTypeID(data.get()), CFDataGetTypeID());
    EXPECT_EQ(CFDataGetLength(data.get()), 5);
    UInt8 out[5] = {};
    CFDataGetBytes(data.get(), CFRangeMake(1, 3), out);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[2], 4);
    EXPECT_EQ(out[3], 0);
    // Only the part of a range that lies inside the data is copied.
    UInt8 tail[5] = {};
    CFDataGetBytes(data.get(), CFRangeMake(3, 10), tail);
    EXPECT_EQ(tail[0], 4);
    EXPECT_EQ(tail[1], 5);
    EXPECT_EQ(tail[2], 0);
}

} // namespace
