// Dictionaries: key-value pairs in insertion order. Keys and values are CF
// objects retained by the dictionary; keys are matched with CFEqual, so two
// distinct but equal strings find the same entry.
#include "platform/corefoundation/CFObject.h"

#include <vector>

struct CFDictionaryKeyCallBacks {};
struct CFDictionaryValueCallBacks {};
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks{};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks{};

struct __CFDictionary : cf::Object {
    struct Entry {
        CFTypeRef key;
        CFTypeRef value;
        CFHashCode hash;
    };

    __CFDictionary() : Object(cf::kDictionaryTypeID) {}
    ~__CFDictionary() override {
        for (const Entry& entry : entries) {
            CFRelease(entry.key);
            CFRelease(entry.value);
        }
    }

    const Entry* Find(CFTypeRef key) const {
        CFHashCode hash = CFHash(key);
        for (const Entry& entry : entries) {
            if (entry.hash == hash && CFEqual(entry.key, key))
                return &entry;
        }
        return nullptr;
    }

    bool Equals(const Object& other) const override {
        const auto& that = static_cast<const __CFDictionary&>(other);
        if (entries.size() != that.entries.size())
            return false;
        for (const Entry& entry : entries) {
            const Entry* match = that.Find(entry.key);
            if (match == nullptr || !CFEqual(entry.value, match->value))
                return false;
        }
        return true;
    }
    CFHashCode Hash() const override { return entries.size(); }

    std::vector<Entry> entries;
};

namespace {

const __CFDictionary* AsDictionary(CFDictionaryRef dict) {
    return cf::As<__CFDictionary>(dict, cf::kDictionaryTypeID);
}

} // namespace

CFTypeID CFDictionaryGetTypeID() {
    return cf::kDictionaryTypeID;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks*,
                                                 const CFDictionaryValueCallBacks*) {
    auto* dict = new __CFDictionary;
    if (capacity > 0)
        dict->entries.reserve(static_cast<size_t>(capacity));
    return dict;
}

void CFDictionarySetValue(CFMutableDictionaryRef dict, const void* key, const void* value) {
    if (AsDictionary(dict) == nullptr || key == nullptr || value == nullptr)
        return;
    CFRetain(value);
    if (auto* entry = const_cast<__CFDictionary::Entry*>(dict->Find(key))) {
        // An existing key keeps its place; only its value changes.
        CFRelease(entry->value);
        entry->value = value;
        return;
    }
    dict->entries.push_back({CFRetain(key), value, CFHash(key)});
}

const void* CFDictionaryGetValue(CFDictionaryRef dict, const void* key) {
    const __CFDictionary* d = AsDictionary(dict);
    if (d == nullptr || key == nullptr)
        return nullptr;
    const __CFDictionary::Entry* entry = d->Find(key);
    return entry == nullptr ? nullptr : entry->value;
}

CFIndex CFDictionaryGetCount(CFDictionaryRef dict) {
    const __CFDictionary* d = AsDictionary(dict);
    return d == nullptr ? 0 : static_cast<CFIndex>(d->entries.size());
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void** keys, const void** values) {
    const __CFDictionary* d = AsDictionary(dict);
    if (d == nullptr)
        return;
    for (size_t i = 0; i < d->entries.size(); ++i) {
        if (keys != nullptr)
            keys[i] = d->entries[i].key;
        if (values != nullptr)
            values[i] = d->entries[i].value;
    }
}
