// Icon Services: icon family files checked with libicns, registrations by
// (creator, type), and the handles menus take their icons from.
#include "platform/toolbox/IconServices.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/toolbox/ToolboxModel.h"

extern "C" {
#include <icns.h>
}

using toolbox::TheState;

namespace {

// Far beyond any icon family; keeps a stray huge file from being read whole.
constexpr std::uintmax_t kMaxIconFileSize = 64u << 20;

UInt32 BigEndian32(const std::vector<char>& bytes, size_t at) {
    UInt32 value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<UInt8>(bytes[at + i]);
    return value;
}

// The family's outline: the 'icns' header giving the file's length, then
// one or more elements that fill it exactly. libicns does not release what
// it has read when it refuses data, so only data of this shape reaches it.
bool IsWellFormedFamily(const std::vector<char>& bytes) {
    if (bytes.size() < 8 || BigEndian32(bytes, 0) != 'icns' ||
        BigEndian32(bytes, 4) != bytes.size())
        return false;
    size_t at = 8;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8)
            return false;
        UInt32 size = BigEndian32(bytes, at + 4);
        if (size < 8 || size > bytes.size() - at)
            return false;
        at += size;
    }
    return at > 8;
}

// Reads the file and checks that it is an icon family holding at least one
// element: fnfErr when there is no such file, invalidIconRefErr otherwise.
OSStatus ReadIconFamilyFile(const FSRef* ref, std::vector<char>& bytes) {
    if (ref == nullptr)
        return paramErr;
    const char* path = ref->path;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return fnfErr;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > kMaxIconFileSize || error)
        return invalidIconRefErr;
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        return invalidIconRefErr;

    if (!IsWellFormedFamily(bytes))
        return invalidIconRefErr;
    icns_set_print_errors(0); // a bad file is reported by status, never on the terminal
    icns_family_t* family = nullptr;
    int status = icns_import_family_data(static_cast<icns_size_t>(bytes.size()),
                                         reinterpret_cast<icns_byte_t*>(bytes.data()), &family);
    bool valid =
        status == ICNS_STATUS_OK && family != nullptr && family->resourceType == ICNS_FAMILY_TYPE;
    std::free(family);
    return valid ? OSStatus(noErr) : OSStatus(invalidIconRefErr);
}

Handle NewIconHandle(std::vector<char> bytes, std::string path, bool suite) {
    auto block = std::make_unique<toolbox::IconHandleBlock>();
    block->bytes = std::move(bytes);
    block->master = block->bytes.data();
    block->path = std::move(path);
    block->suite = suite;
    Handle handle = &block->master;
    TheState().iconHandles.push_back(std::move(block));
    return handle;
}

} // namespace

OSStatus RegisterIconRefFromFSRef(OSType creator, OSType iconType, const FSRef* iconFile,
                                  IconRef* theIconRef) {
    if (theIconRef == nullptr)
        return paramErr;
    *theIconRef = nullptr;
    std::vector<char> bytes;
    if (OSStatus status = ReadIconFamilyFile(iconFile, bytes); status != noErr)
        return status;
    toolbox::State& state = TheState();
    state.icons.push_back(std::make_unique<OpaqueIconRef>(OpaqueIconRef{iconFile->path}));
    *theIconRef = state.icons.back().get();
    state.registrations[{creator, iconType}] = *theIconRef;
    return noErr;
}

OSStatus UnregisterIconRef(OSType creator, OSType iconType) {
    return TheState().registrations.erase({creator, iconType}) > 0 ? noErr : noSuchIconErr;
}

OSStatus GetIconRef(SInt16, OSType creator, OSType iconType, IconRef* theIconRef) {
    if (theIconRef == nullptr)
        return paramErr;
    auto& registrations = TheState().registrations;
    auto found = registrations.find({creator, iconType});
    *theIconRef = found != registrations.end() ? found->second : nullptr;
    return *theIconRef != nullptr ? noErr : noSuchIconErr;
}

OSStatus ReadIconFromFSRef(const FSRef* ref, IconFamilyHandle* iconFamily) {
    if (iconFamily == nullptr)
        return paramErr;
    *iconFamily = nullptr;
    std::vector<char> bytes;
    if (OSStatus status = ReadIconFamilyFile(ref, bytes); status != noErr)
        return status;
    *iconFamily = NewIconHandle(std::move(bytes), ref->path, false);
    return noErr;
}

// The suite stands for the family's images; views draw them from the file,
// so every selector gives the same suite.
OSErr IconFamilyToIconSuite(IconFamilyHandle iconFamily, IconSelectorValue,
                            IconSuiteRef* iconSuite) {
    if (iconSuite == nullptr)
        return paramErr;
    *iconSuite = nullptr;
    toolbox::IconHandleBlock* family = toolbox::FindIconHandle(iconFamily);
    if (family == nullptr || family->suite)
        return paramErr;
    *iconSuite = NewIconHandle({}, family->path, true);
    return noErr;
}
