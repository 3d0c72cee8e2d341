#include "platform/corefoundation/BundleLocation.h"
#include "platform/corefoundation/CFHelpers.h"
#include "tests/support/TempFolder.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

using cf::Owned;

Owned<CFURLRef> URLFromPath(const std::string& path, bool isDirectory = false) {
    return Owned<CFURLRef>(CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
        static_cast<CFIndex>(path.size()), isDirectory));
}

std::string PathOf(CFURLRef url) {
    UInt8 buffer[2048];
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer));
    return reinterpret_cast<char*>(buffer);
}

TEST(URL, RelativePathsAreTakenFromTheCurrentDirectoryAtCreation) {
    TempFolder folder;
    std::string icon = folder.Write(
        "System/Library/Extensions/IOATAFamily.kext/Contents/Resources/Internal.icns", "icns");
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    auto url = URLFromPath("System/Library/Extensions/IOATAFamily.kext/Contents/Resources/"
                           "Internal.icns");
    auto missing = URLFromPath("System/Library/Extensions/Missing.kext/Contents/Resources/x.icns");
    ASSERT_EQ(chdir(previous), 0);

    ASSERT_TRUE(url);
    EXPECT_EQ(PathOf(url.get()), std::filesystem::canonical(icon).string());
    FSRef ref;
    EXPECT_TRUE(CFURLGetFSRef(url.get(), &ref));
    EXPECT_STREQ(ref.path, PathOf(url.get()).c_str());
    EXPECT_FALSE(CFURLGetFSRef(missing.get(), &ref));
}

TEST(URL, AppendingAComponent) {
    auto resources = URLFromPath("/Applications/X.app/Contents/Resources/", true);
    Owned<CFURLRef> icon(CFURLCreateCopyAppendingPathComponent(kCFAllocatorDefault, resources.get(),
                                                               CFSTR("AppIcon.icns"), false));
    EXPECT_EQ(PathOf(resources.get()), "/Applications/X.app/Contents/Resources");
    EXPECT_EQ(PathOf(icon.get()), "/Applications/X.app/Contents/Resources/AppIcon.icns");
    EXPECT_EQ(CFGetTypeID(icon.get()), CFURLGetTypeID());
}

TEST(URL, FileSystemRepresentationNeverOverrunsItsBuffer) {
    const std::string path = "/Volumes/Disk/AppIcon.icns";
    auto url = URLFromPath(path);
    // Heap buffers of exactly the size given, so an overrun shows under ASan.
    std::vector<UInt8> fits(path.size() + 1);
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(url.get(), true, fits.data(),
                                                 static_cast<CFIndex>(fits.size())));
    EXPECT_STREQ(reinterpret_cast<char*>(fits.data()), path.c_str());
    std::vector<UInt8> tooSmall(path.size(), 'x');
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url.get(), true, tooSmall.data(),
                                                  static_cast<CFIndex>(tooSmall.size())));
    EXPECT_EQ(tooSmall[0], '\0');
}

TEST(URL, FSRefNeedsAPathThatFitsIt) {
    TempFolder folder;
    std::string deep;
    for (int i = 0; i < 6; ++i)
        deep += std::string(200, static_cast<char>('a' + i)) + "/";
    std::string file = folder.Write(deep + "disk.icns", "icns");
    ASSERT_GT(file.size(), sizeof(FSRef::path));
    auto url = URLFromPath(file);
    FSRef ref;
    EXPECT_FALSE(CFURLGetFSRef(url.get(), &ref));
    EXPECT_EQ(PathOf(url.get()), file); // the URL itself is fine
}

TEST(Bundle, FolderOfTheExecutable) {
    struct Case {
        const char* executable;
        std::optional<std::string> bundle;
    };
    const std::vector<Case> cases = {
        {"/Applications/Capacity Extender.app/Contents/MacOS/Capacity Extender",
         "/Applications/Capacity Extender.app"},
        {"/opt/x/Tool.app/Contents/MacOS/other-name", "/opt/x/Tool.app"},
        {"/usr/bin/capext", std::nullopt},
        {"/opt/Tool.app/Contents/Resources/Tool", std::nullopt},
        {"/opt/Tool/Contents/MacOS/Tool", std::nullopt},
        {"/opt/.app/Contents/MacOS/Tool", std::nullopt},
        {"/opt/Tool.app/Contents/MacOS/", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cf::BundleFolderOfExecutable(c.executable), c.bundle) << c.executable;
    // This test program does not lie inside a bundle.
    EXPECT_EQ(CFBundleGetMainBundle(), nullptr);
}

constexpr char kStringsTable[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>TenTwoOrHigher</key>
	<string>This program needs Mac OS X 10.2 or later.</string>
	<key>No valid partition map found.</key>
	<string>Aucune carte de partitions valable.</string>
	<key>Not a string</key>
	<integer>3</integer>
</dict>
</plist>
)";

constexpr char kInfo[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>CFBundleExecutable</key>
	<string>Capacity Extender</string>
</dict>
</plist>
)";

class BundleTest : public testing::Test {
  protected:
    BundleTest() {
        folder_.Write("Test.app/Contents/Info.plist", kInfo);
        folder_.Write("Test.app/Contents/Resources/English.lproj/Localizable.strings",
                      kStringsTable);
        folder_.Write("Test.app/Contents/Resources/English.lproj/Broken.strings", "<plist><dict>");
        bundle_.reset(
            CFBundleCreate(kCFAllocatorDefault, URLFromPath(folder_ / "Test.app", true).get()));
    }

    std::string Lookup(CFStringRef key, CFStringRef value, CFStringRef table = nullptr) {
        Owned<CFStringRef> text(CFBundleCopyLocalizedString(bundle_.get(), key, value, table));
        return cf::ToUTF8(text.get());
    }

    TempFolder folder_;
    Owned<CFBundleRef> bundle_;
};

TEST_F(BundleTest, ResourcesAndInfo) {
    ASSERT_TRUE(bundle_);
    Owned<CFURLRef> resources(CFBundleCopyResourcesDirectoryURL(bundle_.get()));
    EXPECT_EQ(PathOf(resources.get()), folder_ / "Test.app/Contents/Resources");
    CFTypeRef executable =
        CFBundleGetValueForInfoDictionaryKey(bundle_.get(), CFSTR("CFBundleExecutable"));
    EXPECT_EQ(cf::ToUTF8(static_cast<CFStringRef>(executable)), "Capacity Extender");
    EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(bundle_.get(), CFSTR("Missing")), nullptr);

    EXPECT_EQ(CFBundleCreate(kCFAllocatorDefault, URLFromPath(folder_ / "Missing.app", true).get()),
              nullptr);
}

TEST_F(BundleTest, LocalizedStringOrTheValue) {
    EXPECT_EQ(Lookup(CFSTR("TenTwoOrHigher"), CFSTR("TenTwoOrHigher")),
              "This program needs Mac OS X 10.2 or later.");
    EXPECT_EQ(
        Lookup(CFSTR("No valid partition map found."), CFSTR("No valid partition map found.")),
        "Aucune carte de partitions valable.");
    // No entry, an entry that is not a string, a missing or broken table: the value.
    EXPECT_EQ(Lookup(CFSTR("This drive has already been updated."), CFSTR("fallback")), "fallback");
    EXPECT_EQ(Lookup(CFSTR("Not a string"), CFSTR("fallback")), "fallback");
    EXPECT_EQ(Lookup(CFSTR("TenTwoOrHigher"), CFSTR("fallback"), CFSTR("Missing")), "fallback");
    EXPECT_EQ(Lookup(CFSTR("TenTwoOrHigher"), CFSTR("fallback"), CFSTR("Broken")), "fallback");
    // Without a value, the key.
    EXPECT_EQ(Lookup(CFSTR("Untranslated"), nullptr), "Untranslated");
}

TEST_F(BundleTest, LocalizedStringBelongsToTheCaller) {
    Owned<CFStringRef> key(cf::CreateString("Untranslated key"));
    CFStringRef text = CFBundleCopyLocalizedString(bundle_.get(), key.get(), key.get(), nullptr);
    EXPECT_EQ(text, key.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 2);
    CFRelease(text);

    // Without a bundle the value comes back, retained for the caller.
    text = CFBundleCopyLocalizedString(nullptr, key.get(), key.get(), nullptr);
    EXPECT_EQ(text, key.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 2);
    CFRelease(text);
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
}

} // namespace
