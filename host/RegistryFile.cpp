#include "host/RegistryFile.h"

#include "platform/corefoundation/CFHelpers.h"
#include "platform/corefoundation/PropertyList.h"

#include <vector>

namespace host {

namespace {

// Deeper planes than this are taken for a damaged file, not a machine.
constexpr int kMaxDepth = 200;

const CFStringRef kClassKey = CFSTR("IOObjectClass");
const CFStringRef kNameKey = CFSTR("IORegistryEntryName");
const CFStringRef kChildrenKey = CFSTR("IORegistryEntryChildren");
const CFStringRef kSuperclassesKey = CFSTR("IOSuperclasses");

bool HasType(CFTypeRef value, CFTypeID type) {
    return value && CFGetTypeID(value) == type;
}

class Loader {
  public:
    explicit Loader(std::string* error) : error_(error) {}

    // where: the entry's place in the plane, for messages, e.g.
    // "root/PowerMac3,6/pci (child 2)".
    std::shared_ptr<iokit::Entry> Build(CFTypeRef value, const std::string& where, int depth) {
        if (depth > kMaxDepth)
            return Fail(where,
                        "entries are nested more than " + std::to_string(kMaxDepth) + " deep");
        if (!HasType(value, CFDictionaryGetTypeID()))
            return Fail(where, "is not a dictionary");
        auto dict = static_cast<CFDictionaryRef>(value);

        CFTypeRef className = CFDictionaryGetValue(dict, kClassKey);
        if (!className)
            return Fail(where, "has no \"IOObjectClass\"");
        std::string classText;
        if (!ClassName(className, &classText))
            return Fail(where, "\"IOObjectClass\" is not a class name (a string of 1 to 127 "
                               "characters)");

        CFTypeRef name = CFDictionaryGetValue(dict, kNameKey);
        if (name && !HasType(name, CFStringGetTypeID()))
            return Fail(where, "\"IORegistryEntryName\" is not a string");

        std::vector<std::string> superclasses;
        if (CFTypeRef supers = CFDictionaryGetValue(dict, kSuperclassesKey)) {
            if (!HasType(supers, CFArrayGetTypeID()))
                return Fail(where, "\"IOSuperclasses\" is not an array");
            auto array = static_cast<CFArrayRef>(supers);
            for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
                std::string text;
                if (!ClassName(CFArrayGetValueAtIndex(array, i), &text))
                    return Fail(where, "\"IOSuperclasses\" item " + std::to_string(i) +
                                           " is not a class name");
                superclasses.push_back(std::move(text));
            }
        }

        CFTypeRef children = CFDictionaryGetValue(dict, kChildrenKey);
        if (children && !HasType(children, CFArrayGetTypeID()))
            return Fail(where, "\"IORegistryEntryChildren\" is not an array");

        auto entry = std::make_shared<iokit::Entry>(
            classText, name ? cf::ToUTF8(static_cast<CFStringRef>(name)) : std::string(),
            std::move(superclasses));

        CFIndex count = CFDictionaryGetCount(dict);
        std::vector<const void*> keys(count), values(count);
        CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
        for (CFIndex i = 0; i < count; ++i) {
            auto key = static_cast<CFStringRef>(keys[i]);
            if (!HasType(key, CFStringGetTypeID()))
                return Fail(where, "has a key that is not a string");
            if (CFEqual(key, kClassKey) || CFEqual(key, kNameKey) || CFEqual(key, kChildrenKey) ||
                CFEqual(key, kSuperclassesKey))
                continue;
            entry->SetProperty(key, values[i]);
        }

        if (children) {
            auto array = static_cast<CFArrayRef>(children);
            for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
                CFTypeRef child = CFArrayGetValueAtIndex(array, i);
                auto built = Build(child, where + "/" + Label(child, i), depth + 1);
                if (!built)
                    return nullptr;
                entry->AddChild(built);
            }
        }
        return entry;
    }

  private:
    static bool ClassName(CFTypeRef value, std::string* text) {
        if (!HasType(value, CFStringGetTypeID()))
            return false;
        *text = cf::ToUTF8(static_cast<CFStringRef>(value));
        return !text->empty() && text->size() < sizeof(io_name_t) &&
               text->find('\0') == std::string::npos;
    }

    // A child as the message names it: its name or class, and its place.
    static std::string Label(CFTypeRef child, CFIndex index) {
        std::string label;
        if (HasType(child, CFDictionaryGetTypeID())) {
            auto dict = static_cast<CFDictionaryRef>(child);
            for (CFStringRef key : {kNameKey, kClassKey}) {
                CFTypeRef value = CFDictionaryGetValue(dict, key);
                if (HasType(value, CFStringGetTypeID())) {
                    label = cf::ToUTF8(static_cast<CFStringRef>(value));
                    if (!label.empty())
                        break;
                }
            }
        }
        return label + (label.empty() ? "" : " ") + "(child " + std::to_string(index + 1) + ")";
    }

    std::shared_ptr<iokit::Entry> Fail(const std::string& where, const std::string& what) {
        *error_ = "entry " + where + ": " + what;
        return nullptr;
    }

    std::string* error_;
};

} // namespace

std::shared_ptr<iokit::Entry> LoadRegistryFile(const std::string& path, std::string* error) {
    std::string problem;
    // The reader's message already names the file and the line.
    cf::Owned<CFPropertyListRef> plist(CreatePropertyListFromXMLFile(path.c_str(), &problem));
    if (!plist) {
        if (error)
            *error = problem.empty() ? path + ": cannot be read" : problem;
        return nullptr;
    }
    auto root = Loader(&problem).Build(plist.get(), "root", 0);
    if (!root && error)
        *error = path + ": " + problem;
    return root;
}

} // namespace host
