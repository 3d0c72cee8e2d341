#include "partition/MapHandOff.h"

#include "platform/iokit/Registry.h"

#include "MapBufferFixture.h"

#include <memory>
#include <vector>

namespace {

constexpr const char* kDriverClass = "com_Varnholme_ATA6BlockStorageDriver";

// A registry with one driver entry whose property sets are answered here.
class MapHandOff : public MapBufferTest {
  protected:
    void SetUp() override {
        MapBufferTest::SetUp();
        auto root = std::make_shared<iokit::Entry>("IORegistryEntry", "Root");
        root->AddChild(std::make_shared<iokit::Entry>(kDriverClass, "Driver"));
        iokit::SetRegistryRoot(root);
        iokit::SetPropertyHandler(
            kDriverClass, [this](iokit::Entry& entry, CFStringRef key, CFTypeRef value) {
                ++calls;
                entryName = entry.Name();
                keyIsReplacePartitionMap = CFEqual(key, CFSTR("ReplacePartitionMap"));
                if (CFGetTypeID(value) == CFDataGetTypeID()) {
                    auto data = static_cast<CFDataRef>(value);
                    const UInt8* bytes = CFDataGetBytePtr(data);
                    received.assign(bytes, bytes + CFDataGetLength(data));
                }
                return answer;
            });

        io_iterator_t it = 0;
        ASSERT_EQ(IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                           kIORegistryIterateRecursively, &it),
                  KERN_SUCCESS);
        while (io_object_t object = IOIteratorNext(it)) {
            if (IOObjectConformsTo(object, kDriverClass)) {
                driver = object;
            } else {
                IOObjectRelease(object);
            }
        }
        IOObjectRelease(it);
        ASSERT_NE(driver, 0u);
    }

    void TearDown() override {
        IOObjectRelease(driver);
        iokit::RemoveAllPropertyHandlers();
        iokit::SetRegistryRoot(nullptr);
    }

    io_service_t driver = 0;
    IOReturn answer = kIOReturnSuccess;
    int calls = 0;
    std::string entryName;
    bool keyIsReplacePartitionMap = false;
    std::vector<UInt8> received;
};

} // namespace

TEST_F(MapHandOff, TheDriverGetsExactlyThe32KBImage) {
    const MapImage image = MapImageBuilder(312581808).addHFS("A", 64, 1000).build();
    Load(image);
    std::memset(myIOBuffer + kMapImageSize, 0xEE, kBlockSize); // block 64 is not handed over

    EXPECT_EQ(HandOverMapImage(driver), KERN_SUCCESS);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(entryName, "Driver");
    EXPECT_TRUE(keyIsReplacePartitionMap);
    ASSERT_EQ(received.size(), kMapImageSize);
    EXPECT_TRUE(std::equal(received.begin(), received.end(), image.bytes.begin()));
}

TEST_F(MapHandOff, ARefusalIsPassedOnAndNotRetried) {
    answer = kIOReturnNotPermitted;
    EXPECT_EQ(HandOverMapImage(driver), kIOReturnNotPermitted);
    EXPECT_EQ(calls, 1);
}
