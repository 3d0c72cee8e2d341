#include "platform/iokit/Registry.h"

#include <algorithm>
#include <utility>

namespace iokit {

Entry::Entry(std::string className, std::string name, std::vector<std::string> superclasses)
    : className_(std::move(className)), name_(std::move(name)),
      superclasses_(std::move(superclasses)),
      properties_(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                            &kCFTypeDictionaryValueCallBacks)) {}

Entry::~Entry() {
    CFRelease(properties_);
}

bool Entry::ConformsTo(std::string_view className) const {
    return className_ == className ||
           std::find(superclasses_.begin(), superclasses_.end(), className) != superclasses_.end();
}

CFTypeRef Entry::Property(CFStringRef key) const {
    return CFDictionaryGetValue(properties_, key);
}

void Entry::SetProperty(CFStringRef key, CFTypeRef value) {
    CFDictionarySetValue(properties_, key, value);
}

void Entry::AddChild(const std::shared_ptr<Entry>& child) {
    child->parent_ = weak_from_this();
    children_.push_back(child);
}

namespace {

CFTypeRef FindBelow(const Entry& entry, CFStringRef key) {
    for (const auto& child : entry.Children()) {
        if (CFTypeRef value = child->Property(key))
            return value;
        if (CFTypeRef value = FindBelow(*child, key))
            return value;
    }
    return nullptr;
}

struct PlaneState {
    std::shared_ptr<Entry> root;
    std::vector<std::pair<std::string, PropertyHandler>> handlers;
};

// Lives for the whole process: handles may still point into the plane while
// static objects are destroyed at exit.
PlaneState& Plane() {
    static PlaneState* state = new PlaneState;
    return *state;
}

} // namespace

CFTypeRef FindProperty(const Entry& entry, CFStringRef key, SearchScope scope) {
    if (CFTypeRef value = entry.Property(key))
        return value;
    switch (scope) {
    case SearchScope::EntryOnly:
        return nullptr;
    case SearchScope::EntryThenParents:
        for (auto parent = entry.Parent(); parent; parent = parent->Parent()) {
            if (CFTypeRef value = parent->Property(key))
                return value;
        }
        return nullptr;
    case SearchScope::EntryThenDescendants:
        return FindBelow(entry, key);
    }
    return nullptr;
}

std::vector<std::shared_ptr<Entry>> DepthFirst(const std::shared_ptr<Entry>& root) {
    std::vector<std::shared_ptr<Entry>> order;
    // An explicit stack: a deep plane must not exhaust the call stack.
    std::vector<std::shared_ptr<Entry>> pending;
    if (root)
        pending.push_back(root);
    while (!pending.empty()) {
        auto entry = std::move(pending.back());
        pending.pop_back();
        const auto& children = entry->Children();
        pending.insert(pending.end(), children.rbegin(), children.rend());
        order.push_back(std::move(entry));
    }
    return order;
}

void SetRegistryRoot(std::shared_ptr<Entry> root) {
    Plane().root = std::move(root);
}

std::shared_ptr<Entry> RegistryRoot() {
    return Plane().root;
}

void SetPropertyHandler(std::string className, PropertyHandler handler) {
    auto& handlers = Plane().handlers;
    auto it = std::find_if(handlers.begin(), handlers.end(),
                           [&](const auto& h) { return h.first == className; });
    if (it != handlers.end())
        it->second = std::move(handler);
    else
        handlers.emplace_back(std::move(className), std::move(handler));
}

void RemoveAllPropertyHandlers() {
    Plane().handlers.clear();
}

IOReturn SetEntryProperty(Entry& entry, CFStringRef key, CFTypeRef value) {
    for (const auto& [className, handler] : Plane().handlers) {
        if (entry.ConformsTo(className))
            return handler(entry, key, value);
    }
    entry.SetProperty(key, value);
    return kIOReturnSuccess;
}

} // namespace iokit
