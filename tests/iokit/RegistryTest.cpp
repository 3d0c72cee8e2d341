#include "platform/iokit/Registry.h"
#include "platform/corefoundation/CFHelpers.h"
#include "platform/iokit/IOKitLib.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using iokit::Entry;

std::string Text(CFTypeRef value) {
    return value && CFGetTypeID(value) == CFStringGetTypeID()
               ? cf::ToUTF8(static_cast<CFStringRef>(value))
               : std::string("<none>");
}

void Set(Entry& entry, const char* key, const char* value) {
    cf::Owned<CFStringRef> k(cf::CreateString(key)), v(cf::CreateString(value));
    entry.SetProperty(k.get(), v.get());
}

// root
//   bridge (derives from IOPCIBridge)
//     disk: the maker's driver
//       media
//     nub
//   usb
//     hub
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto make = [this](const char* name, const char* cls, std::vector<std::string> supers) {
            auto entry = std::make_shared<Entry>(cls, name, std::move(supers));
            entries_[name] = entry;
            return entry;
        };
        auto root = make("root", "IORegistryEntry", {});
        auto bridge = make("bridge", "AppleMacRiscPCI", {"IOPCIBridge", "IOService"});
        auto disk = make("disk", "com_Varnholme_ATA6BlockStorageDriver",
                         {"IOBlockStorageDriver", "IOService"});
        auto media = make("media", "IOMedia", {"IOStorage", "IOService"});
        auto nub = make("nub", "IOATADevice", {"IOService"});
        auto usb = make("usb", "AppleUSBEHCI", {"IOService"});
        auto hub = make("hub", "IOUSBHubDevice", {"IOService"});
        root->AddChild(bridge);
        bridge->AddChild(disk);
        disk->AddChild(media);
        bridge->AddChild(nub);
        root->AddChild(usb);
        usb->AddChild(hub);
        iokit::SetRegistryRoot(root);
    }
    void TearDown() override {
        iokit::SetRegistryRoot(nullptr);
        iokit::RemoveAllPropertyHandlers();
    }

    // A handle to the named entry, found by walking the plane.
    io_object_t Handle(const std::string& name) {
        io_iterator_t iterator = 0;
        EXPECT_EQ(KERN_SUCCESS, IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                                         kIORegistryIterateRecursively, &iterator));
        io_object_t found = 0;
        while (io_object_t object = IOIteratorNext(iterator)) {
            if (!found && NameOf(object) == name)
                found = object;
            else
                IOObjectRelease(object);
        }
        IOObjectRelease(iterator);
        return found;
    }

    std::string NameOf(io_object_t object) {
        for (const auto& [name, entry] : entries_) {
            io_name_t cls;
            if (IOObjectGetClass(object, cls) == KERN_SUCCESS && entry->ClassName() == cls)
                return name;
        }
        return "?";
    }

    std::map<std::string, std::shared_ptr<Entry>> entries_;
};

TEST_F(RegistryTest, RecursiveIterationHandsOutEveryEntryRootFirstDepthFirstInPlaneOrder) {
    io_iterator_t iterator = 0;
    ASSERT_EQ(KERN_SUCCESS, IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                                     kIORegistryIterateRecursively, &iterator));
    std::vector<std::string> order;
    while (io_object_t object = IOIteratorNext(iterator)) {
        order.push_back(NameOf(object));
        IOObjectRelease(object);
    }
    EXPECT_EQ((std::vector<std::string>{"root", "bridge", "disk", "media", "nub", "usb", "hub"}),
              order);
    EXPECT_EQ(0u, IOIteratorNext(iterator)) << "an exhausted iterator stays exhausted";
    EXPECT_EQ(KERN_SUCCESS, IOObjectRelease(iterator));
}

TEST_F(RegistryTest, IteratorCannotBeMadeWithoutARegistryOrForAnotherPlane) {
    io_iterator_t iterator = 0;
    EXPECT_NE(KERN_SUCCESS, IORegistryCreateIterator(kIOMasterPortDefault, "IODeviceTree",
                                                     kIORegistryIterateRecursively, &iterator));
    iokit::SetRegistryRoot(nullptr);
    EXPECT_NE(KERN_SUCCESS, IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                                     kIORegistryIterateRecursively, &iterator));
}

TEST_F(RegistryTest, ClassTestPassesForTheClassAndItsSuperclassesOnly) {
    io_object_t disk = Handle("disk");
    ASSERT_NE(0u, disk);
    EXPECT_TRUE(IOObjectConformsTo(disk, "com_Varnholme_ATA6BlockStorageDriver"));
    EXPECT_TRUE(IOObjectConformsTo(disk, "IOBlockStorageDriver"));
    EXPECT_TRUE(IOObjectConformsTo(disk, "IOService"));
    EXPECT_FALSE(IOObjectConformsTo(disk, "IOMedia"));
    EXPECT_FALSE(IOObjectConformsTo(disk, "com_Varnholme_ATA6"));
    io_name_t cls;
    ASSERT_EQ(KERN_SUCCESS, IOObjectGetClass(disk, cls));
    EXPECT_STREQ("com_Varnholme_ATA6BlockStorageDriver", cls);
    IOObjectRelease(disk);
}

struct SearchCase {
    const char* start;
    std::vector<const char*> holders; // entries holding "Key", the value being their name
    IOOptionBits options;
    const char* expected;
};

TEST_F(RegistryTest, SearchLooksWhereItsOptionsSay) {
    const SearchCase cases[] = {
        // 2 alone, and 0: the entry itself only.
        {"disk", {"disk", "bridge", "media"}, 2, "disk"},
        {"disk", {"bridge", "media"}, 2, nullptr},
        {"disk", {"bridge", "media"}, 0, nullptr},
        // 3: the entry, then its parents, nearest first; never below.
        {"disk", {"disk", "bridge"}, 3, "disk"},
        {"media", {"bridge", "root"}, 3, "bridge"},
        {"media", {"root"}, 3, "root"},
        {"disk", {"media", "nub"}, 3, nullptr},
        // 1: the entry, then below it depth first in plane order; never above.
        {"bridge", {"bridge", "media"}, 1, "bridge"},
        {"root", {"media", "usb"}, 1, "media"},
        {"root", {"nub", "hub"}, 1, "nub"},
        {"bridge", {"root", "usb"}, 1, nullptr},
    };
    for (const auto& c : cases) {
        SetUp(); // a fresh plane for each case
        for (const char* holder : c.holders)
            Set(*entries_[holder], "Key", holder);
        io_object_t start = Handle(c.start);
        CFTypeRef found = IORegistryEntrySearchCFProperty(start, kIOServicePlane, CFSTR("Key"),
                                                          kCFAllocatorDefault, c.options);
        EXPECT_EQ(c.expected ? c.expected : "<none>", Text(found))
            << "from " << c.start << " with options " << c.options;
        if (found) {
            // The caller owns what the search returns; the entry keeps its own.
            EXPECT_EQ(2, CFGetRetainCount(found));
            CFRelease(found);
        }
        IOObjectRelease(start);
    }
}

TEST_F(RegistryTest, HandlesAreCountedAndKeepTheirEntryAlive) {
    io_object_t media = Handle("media");
    ASSERT_NE(0u, media);
    Set(*entries_["media"], "BSD Name", "disk2");
    EXPECT_EQ(KERN_SUCCESS, IOObjectRetain(media));
    EXPECT_EQ(KERN_SUCCESS, IOObjectRelease(media));

    // Replacing the plane does not invalidate a handle still held.
    iokit::SetRegistryRoot(nullptr);
    entries_.clear();
    CFTypeRef name = IORegistryEntrySearchCFProperty(media, kIOServicePlane, CFSTR("BSD Name"),
                                                     kCFAllocatorDefault, 0);
    EXPECT_EQ("disk2", Text(name));
    if (name)
        CFRelease(name);

    EXPECT_EQ(KERN_SUCCESS, IOObjectRelease(media));
    EXPECT_NE(KERN_SUCCESS, IOObjectRelease(media)) << "a released handle is gone";
    EXPECT_FALSE(IOObjectConformsTo(media, "IOMedia"));
    EXPECT_EQ(nullptr, IORegistryEntrySearchCFProperty(media, kIOServicePlane, CFSTR("BSD Name"),
                                                       kCFAllocatorDefault, 0));
}

TEST_F(RegistryTest, SetPropertyStoresUnlessADriverOfTheClassAnswers) {
    std::vector<std::string> seen;
    iokit::SetPropertyHandler("IOBlockStorageDriver",
                              [&](Entry& entry, CFStringRef key, CFTypeRef) {
                                  seen.push_back(entry.Name() + ":" + cf::ToUTF8(key));
                                  return kIOReturnNotPermitted;
                              });
    io_object_t disk = Handle("disk"), nub = Handle("nub");

    // The driver's class is reached through the entry's superclasses.
    EXPECT_EQ(kIOReturnNotPermitted,
              IORegistryEntrySetCFProperty(disk, CFSTR("ReplacePartitionMap"), CFSTR("x")));
    EXPECT_EQ(std::vector<std::string>{"disk:ReplacePartitionMap"}, seen);
    EXPECT_EQ(nullptr, entries_["disk"]->Property(CFSTR("ReplacePartitionMap")));

    EXPECT_EQ(KERN_SUCCESS, IORegistryEntrySetCFProperty(nub, CFSTR("Note"), CFSTR("kept")));
    EXPECT_EQ("kept", Text(entries_["nub"]->Property(CFSTR("Note"))));
    EXPECT_EQ(1u, seen.size());

    EXPECT_NE(KERN_SUCCESS, IORegistryEntrySetCFProperty(0, CFSTR("Note"), CFSTR("x")));
    IOObjectRelease(disk);
    IOObjectRelease(nub);
}

TEST(IOServiceMatchingTest, NamesTheClassInANewDictionary) {
    CFMutableDictionaryRef matching = IOServiceMatching("com_Varnholme_ATA6BlockStorageDriver");
    ASSERT_NE(nullptr, matching);
    EXPECT_EQ("com_Varnholme_ATA6BlockStorageDriver",
              Text(CFDictionaryGetValue(matching, CFSTR("IOProviderClass"))));
    EXPECT_EQ(1, CFGetRetainCount(matching));
    CFRelease(matching);
}

} // namespace
