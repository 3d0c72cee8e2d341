// The executable-path lookup through the dynamic linker, with the Mac's
// convention: 0 and the path when it fits, -1 and the needed size otherwise.
#include "platform/toolbox/DynamicLinker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

NSGetExecutablePathProcPtr BindGetExecutablePath() {
    EXPECT_TRUE(NSIsSymbolNameDefined("__NSGetExecutablePath"));
    return reinterpret_cast<NSGetExecutablePathProcPtr>(
        NSAddressOfSymbol(NSLookupAndBindSymbol("__NSGetExecutablePath")));
}

TEST(DynamicLinker, UnknownSymbolsAreNotDefinedAndBindToNothing) {
    for (const char* name : {"_NSGetExecutablePath", "__NSGetArgv", "", "__NSGetExecutablePathX"}) {
        EXPECT_FALSE(NSIsSymbolNameDefined(name)) << name;
        EXPECT_EQ(NSLookupAndBindSymbol(name), nullptr) << name;
    }
    EXPECT_FALSE(NSIsSymbolNameDefined(nullptr));
    EXPECT_EQ(NSAddressOfSymbol(nullptr), nullptr);
}

TEST(DynamicLinker, ExecutablePathAnswersTheNeededSizeThenThePath) {
    NSGetExecutablePathProcPtr getPath = BindGetExecutablePath();
    ASSERT_NE(getPath, nullptr);
    std::string expected = std::filesystem::read_symlink("/proc/self/exe").string();

    char buffer[4096];
    std::memset(buffer, 'x', sizeof buffer);
    UInt32 size = 0;
    EXPECT_EQ(getPath(buffer, &size), -1);
    EXPECT_EQ(size, expected.size() + 1);
    EXPECT_EQ(buffer[0], 'x') << "nothing is written when the path does not fit";

    // One byte short of the path and its terminator is still too small.
    size = static_cast<UInt32>(expected.size());
    EXPECT_EQ(getPath(buffer, &size), -1);
    EXPECT_EQ(size, expected.size() + 1);
    EXPECT_EQ(buffer[0], 'x');

    EXPECT_EQ(getPath(buffer, &size), 0);
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(buffer[expected.size() + 1], 'x') << "written past the terminator";
}

} // namespace
