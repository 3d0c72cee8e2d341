// The I/O Kit calls over the registry model. Objects are handed out as
// numbered, reference-counted handles; an entry stays alive while a handle
// to it is held, even if the plane is replaced meanwhile.
#include "platform/iokit/IOKitLib.h"
#include "platform/iokit/Registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <variant>
#include <vector>

const mach_port_t kIOMasterPortDefault = 0;

namespace {

using iokit::Entry;

struct Iterator {
    std::vector<std::shared_ptr<Entry>> entries;
    size_t next = 0;
};

struct Handle {
    std::variant<std::shared_ptr<Entry>, std::shared_ptr<Iterator>> object;
    UInt32 references = 1;
};

struct HandleTable {
    std::map<io_object_t, Handle> handles;
    io_object_t lastIssued = 0;
};

HandleTable& Handles() {
    static HandleTable* table = new HandleTable;
    return *table;
}

io_object_t Issue(Handle handle) {
    auto& table = Handles();
    do {
        ++table.lastIssued;
    } while (table.lastIssued == 0 || table.handles.count(table.lastIssued));
    table.handles.emplace(table.lastIssued, std::move(handle));
    return table.lastIssued;
}

Handle* Find(io_object_t object) {
    auto& handles = Handles().handles;
    auto it = handles.find(object);
    return it == handles.end() ? nullptr : &it->second;
}

Entry* EntryFor(io_object_t object) {
    Handle* handle = Find(object);
    if (!handle)
        return nullptr;
    auto* entry = std::get_if<std::shared_ptr<Entry>>(&handle->object);
    return entry ? entry->get() : nullptr;
}

bool IsServicePlane(const char* plane) {
    return plane && std::strcmp(plane, kIOServicePlane) == 0;
}

void CopyName(const std::string& name, io_name_t out) {
    size_t length = std::min(name.size(), sizeof(io_name_t) - 1);
    std::memcpy(out, name.data(), length);
    out[length] = '\0';
}

} // namespace

CFMutableDictionaryRef IOServiceMatching(const char* name) {
    if (!name)
        return nullptr;
    CFStringRef className =
        CFStringCreateWithCString(kCFAllocatorDefault, name, kCFStringEncodingUTF8);
    if (!className)
        return nullptr;
    CFMutableDictionaryRef matching = CFDictionaryCreateMutable(
        kCFAllocatorDefault, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFDictionarySetValue(matching, CFSTR("IOProviderClass"), className);
    CFRelease(className);
    return matching;
}

kern_return_t IORegistryCreateIterator(mach_port_t, const io_name_t plane, IOOptionBits options,
                                       io_iterator_t* iterator) {
    if (!iterator || !IsServicePlane(plane))
        return kIOReturnBadArgument;
    auto root = iokit::RegistryRoot();
    if (!root)
        return kIOReturnNotFound;
    auto walk = std::make_shared<Iterator>();
    if (options & kIORegistryIterateParents) {
        // The root has no parents: nothing to hand out.
    } else if (options & kIORegistryIterateRecursively) {
        walk->entries = iokit::DepthFirst(root);
    } else {
        walk->entries = root->Children();
    }
    *iterator = Issue(Handle{std::move(walk)});
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator) {
    Handle* handle = Find(iterator);
    if (!handle)
        return 0;
    auto* walk = std::get_if<std::shared_ptr<Iterator>>(&handle->object);
    if (!walk || (*walk)->next >= (*walk)->entries.size())
        return 0;
    auto entry = (*walk)->entries[(*walk)->next++];
    return Issue(Handle{std::move(entry)});
}

boolean_t IOObjectConformsTo(io_object_t object, const io_name_t className) {
    Entry* entry = EntryFor(object);
    return entry && className && entry->ConformsTo(className);
}

kern_return_t IOObjectGetClass(io_object_t object, io_name_t className) {
    Handle* handle = Find(object);
    if (!handle || !className)
        return kIOReturnBadArgument;
    if (Entry* entry = EntryFor(object))
        CopyName(entry->ClassName(), className);
    else
        CopyName("IORegistryIterator", className);
    return KERN_SUCCESS;
}

kern_return_t IOObjectRetain(io_object_t object) {
    Handle* handle = Find(object);
    if (!handle)
        return kIOReturnBadArgument;
    ++handle->references;
    return KERN_SUCCESS;
}

kern_return_t IOObjectRelease(io_object_t object) {
    Handle* handle = Find(object);
    if (!handle)
        return kIOReturnBadArgument;
    if (--handle->references == 0)
        Handles().handles.erase(object);
    return KERN_SUCCESS;
}

CFTypeRef IORegistryEntrySearchCFProperty(io_registry_entry_t entry, const io_name_t plane,
                                          CFStringRef key, CFAllocatorRef, IOOptionBits options) {
    Entry* start = EntryFor(entry);
    if (!start || !key || !IsServicePlane(plane))
        return nullptr;
    // The parents flag only widens a recursive search.
    auto scope = iokit::SearchScope::EntryOnly;
    if (options & kIORegistryIterateRecursively) {
        scope = (options & kIORegistryIterateParents) ? iokit::SearchScope::EntryThenParents
                                                      : iokit::SearchScope::EntryThenDescendants;
    }
    CFTypeRef value = iokit::FindProperty(*start, key, scope);
    return value ? CFRetain(value) : nullptr;
}

kern_return_t IORegistryEntrySetCFProperty(io_registry_entry_t entry, CFStringRef propertyName,
                                           CFTypeRef property) {
    Entry* target = EntryFor(entry);
    if (!target || !propertyName || !property)
        return kIOReturnBadArgument;
    return iokit::SetEntryProperty(*target, propertyName, property);
}
