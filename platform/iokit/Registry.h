// The I/O Registry behind IOKitLib.h: a tree of entries (the IOService plane)
// with their classes and properties, the process's one loaded plane, and the
// drivers that answer property sets on entries of their class. Used from the
// main thread only, like the application that calls it.
#pragma once

#include "platform/iokit/IOKitLib.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace iokit {

class Entry : public std::enable_shared_from_this<Entry> {
  public:
    Entry(std::string className, std::string name = {}, std::vector<std::string> superclasses = {});
    ~Entry();
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

    const std::string& ClassName() const { return className_; }
    const std::string& Name() const { return name_; }
    // Nearest first.
    const std::vector<std::string>& Superclasses() const { return superclasses_; }
    // True for the entry's own class and for each of its superclasses.
    bool ConformsTo(std::string_view className) const;

    // The value stored under key, owned by the entry; null when there is none.
    CFTypeRef Property(CFStringRef key) const;
    // Stores value (retained) under key, replacing what was there.
    void SetProperty(CFStringRef key, CFTypeRef value);

    // Appends child at the end of this entry's children (plane order).
    void AddChild(const std::shared_ptr<Entry>& child);
    const std::vector<std::shared_ptr<Entry>>& Children() const { return children_; }
    // The entry above this one, or null for the root.
    std::shared_ptr<Entry> Parent() const { return parent_.lock(); }

  private:
    std::string className_;
    std::string name_;
    std::vector<std::string> superclasses_;
    CFMutableDictionaryRef properties_;
    std::vector<std::shared_ptr<Entry>> children_;
    std::weak_ptr<Entry> parent_;
};

// Where a property search looks after the entry itself.
enum class SearchScope {
    EntryOnly,
    EntryThenParents,     // nearest parent first
    EntryThenDescendants, // depth first, children in plane order
};

// The value of the first entry in scope that has key (owned by that entry),
// or null.
CFTypeRef FindProperty(const Entry& entry, CFStringRef key, SearchScope scope);

// root and every entry below it: depth first, each entry before its children,
// children in plane order.
std::vector<std::shared_ptr<Entry>> DepthFirst(const std::shared_ptr<Entry>& root);

// The loaded IOService plane; null when none is loaded.
void SetRegistryRoot(std::shared_ptr<Entry> root);
std::shared_ptr<Entry> RegistryRoot();

// A driver's answer to setting key to value on one of its entries.
using PropertyHandler = std::function<IOReturn(Entry& entry, CFStringRef key, CFTypeRef value)>;

// From now on, property sets on entries that conform to className go to
// handler instead of being stored (a later handler for the same class
// replaces the earlier one).
void SetPropertyHandler(std::string className, PropertyHandler handler);
void RemoveAllPropertyHandlers();

// What IORegistryEntrySetCFProperty does: the serving driver answers, or else
// the value is stored and the answer is success.
IOReturn SetEntryProperty(Entry& entry, CFStringRef key, CFTypeRef value);

} // namespace iokit
