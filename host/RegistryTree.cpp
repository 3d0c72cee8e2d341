#include "host/RegistryTree.h"

#include "platform/corefoundation/CFHelpers.h"
#include "platform/corefoundation/PropertyList.h"

#include <iterator>
#include <stdexcept>

namespace host::tree {

Value Str(const std::string& text) {
    CFStringRef string = cf::CreateString(text);
    if (!string)
        throw std::invalid_argument("not UTF-8: " + text);
    return string;
}

Value Int32(SInt32 value) {
    return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
}

Value Int64(SInt64 value) {
    return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &value);
}

Value Bool(bool value) {
    return CFRetain(value ? kCFBooleanTrue : kCFBooleanFalse);
}

Value Bytes(std::initializer_list<UInt8> bytes) {
    return CFDataCreate(kCFAllocatorDefault, std::data(bytes), CFIndex(bytes.size()));
}

Value Dict(const Properties& properties) {
    CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
        kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    for (const auto& [key, value] : properties) {
        cf::Owned<CFTypeRef> keyString(Str(key));
        CFDictionarySetValue(dict, keyString.get(), value);
        CFRelease(value);
    }
    return dict;
}

Value Array(const std::vector<Value>& values) {
    CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
    for (Value value : values) {
        CFArrayAppendValue(array, value);
        CFRelease(value);
    }
    return array;
}

Value Entry(const std::string& className, const std::string& name,
            const std::vector<std::string>& superclasses, const Properties& properties,
            const std::vector<Value>& children) {
    Properties all{{"IOObjectClass", Str(className)}};
    if (!name.empty())
        all.emplace_back("IORegistryEntryName", Str(name));
    if (!superclasses.empty()) {
        std::vector<Value> supers;
        for (const std::string& super : superclasses)
            supers.push_back(Str(super));
        all.emplace_back("IOSuperclasses", Array(supers));
    }
    all.insert(all.end(), properties.begin(), properties.end());
    if (!children.empty())
        all.emplace_back("IORegistryEntryChildren", Array(children));
    return Dict(all);
}

bool WriteTree(Value tree, const std::string& path, std::string* error) {
    cf::Owned<CFTypeRef> owned(tree);
    return WritePropertyListToXMLFile(owned.get(), path.c_str(), error);
}

} // namespace host::tree
