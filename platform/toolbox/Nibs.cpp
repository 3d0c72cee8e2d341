// Interface files: windows, controls and menu bars described in an XML
// property list (the schema is in Nibs.h), made into model objects.
#include "platform/toolbox/Nibs.h"

#include <algorithm>
#include <climits>
#include <limits>

#include "platform/corefoundation/PropertyList.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/FourCharCodes.h"
#include "platform/toolbox/ToolboxModel.h"

using toolbox::TheState;

namespace {

// Typed reads of the property list. Each answers false when the key is
// present with a value of the wrong type or range, and leaves the output
// alone when the key is absent.

template <class Ref> bool GetTyped(CFDictionaryRef dict, const char* key, CFTypeID type, Ref* out) {
    CFTypeRef value =
        CFDictionaryGetValue(dict, cf::Owned<CFStringRef>(cf::CreateString(key)).get());
    if (value == nullptr)
        return true;
    if (CFGetTypeID(value) != type)
        return false;
    *out = static_cast<Ref>(value);
    return true;
}

bool GetString(CFDictionaryRef dict, const char* key, std::string* out) {
    CFStringRef value = nullptr;
    if (!GetTyped(dict, key, CFStringGetTypeID(), &value))
        return false;
    if (value != nullptr)
        *out = cf::ToUTF8(value);
    return true;
}

template <class Int> bool GetInteger(CFDictionaryRef dict, const char* key, Int* out) {
    CFNumberRef value = nullptr;
    if (!GetTyped(dict, key, CFNumberGetTypeID(), &value))
        return false;
    if (value == nullptr)
        return true;
    SInt64 number = 0;
    if (CFNumberIsFloatType(value) || !CFNumberGetValue(value, kCFNumberSInt64Type, &number) ||
        number < std::numeric_limits<Int>::min() || number > std::numeric_limits<Int>::max())
        return false;
    *out = static_cast<Int>(number);
    return true;
}

bool GetBool(CFDictionaryRef dict, const char* key, bool* out) {
    CFBooleanRef value = nullptr;
    if (!GetTyped(dict, key, CFBooleanGetTypeID(), &value))
        return false;
    if (value != nullptr)
        *out = CFBooleanGetValue(value);
    return true;
}

// A four-character code written as its four characters.
bool GetCode(CFDictionaryRef dict, const char* key, OSType* out) {
    CFStringRef value = nullptr;
    if (!GetTyped(dict, key, CFStringGetTypeID(), &value))
        return false;
    if (value == nullptr)
        return true;
    return toolbox::CodeFromText(cf::ToUTF8(value), out);
}

bool GetBounds(CFDictionaryRef dict, Rect* out) {
    CFArrayRef value = nullptr;
    if (!GetTyped(dict, "Bounds", CFArrayGetTypeID(), &value))
        return false;
    if (value == nullptr)
        return true;
    if (CFArrayGetCount(value) != 4)
        return false;
    SInt16 sides[4];
    for (CFIndex i = 0; i < 4; ++i) {
        auto number = static_cast<CFNumberRef>(CFArrayGetValueAtIndex(value, i));
        SInt64 side = 0;
        if (CFGetTypeID(number) != CFNumberGetTypeID() || CFNumberIsFloatType(number) ||
            !CFNumberGetValue(number, kCFNumberSInt64Type, &side) || side < SHRT_MIN ||
            side > SHRT_MAX)
            return false;
        sides[i] = static_cast<SInt16>(side);
    }
    *out = Rect{sides[0], sides[1], sides[2], sides[3]};
    return true;
}

// Every element of an array of dictionaries, or false.
bool GetDictionaries(CFDictionaryRef dict, const char* key, std::vector<CFDictionaryRef>* out) {
    CFArrayRef array = nullptr;
    if (!GetTyped(dict, key, CFArrayGetTypeID(), &array))
        return false;
    if (array == nullptr)
        return true;
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        CFTypeRef element = CFArrayGetValueAtIndex(array, i);
        if (CFGetTypeID(element) != CFDictionaryGetTypeID())
            return false;
        out->push_back(static_cast<CFDictionaryRef>(element));
    }
    return true;
}

bool ReadMenuItem(CFDictionaryRef dict, toolbox::MenuItem* item) {
    bool separator = false;
    bool enabled = true;
    if (!GetString(dict, "Text", &item->text) || !GetCode(dict, "Command", &item->command) ||
        !GetBool(dict, "Separator", &separator) || !GetBool(dict, "Enabled", &enabled))
        return false;
    item->attributes = 0;
    if (separator)
        item->attributes |= kMenuItemAttrSeparator;
    if (!enabled)
        item->attributes |= kMenuItemAttrDisabled;
    return true;
}

bool ReadMenuItems(CFDictionaryRef dict, OpaqueMenuRef* menu) {
    std::vector<CFDictionaryRef> items;
    if (!GetDictionaries(dict, "Items", &items))
        return false;
    for (CFDictionaryRef entry : items) {
        toolbox::MenuItem item;
        if (!ReadMenuItem(entry, &item))
            return false;
        menu->items.push_back(std::move(item));
    }
    return true;
}

// Static text is kept in the application's text encoding, as the
// application itself sets it.
bool ToApplicationBytes(const std::string& utf8, std::string* out) {
    cf::Owned<CFStringRef> string(cf::CreateString(utf8));
    if (!string)
        return false;
    std::vector<char> buffer(utf8.size() * 4 + 1);
    if (!CFStringGetCString(string.get(), buffer.data(), static_cast<CFIndex>(buffer.size()),
                            GetApplicationTextEncoding()))
        return false;
    *out = buffer.data();
    return true;
}

std::unique_ptr<OpaqueControlRef> ReadControl(CFDictionaryRef dict, WindowRef owner) {
    auto control = std::make_unique<OpaqueControlRef>();
    control->owner = owner;
    control->target.parent = &owner->target;
    control->target.window = owner;
    OSType signature = 0;
    std::string text;
    bool active = true;
    if (!GetCode(dict, "Kind", &control->kind) || !GetCode(dict, "Signature", &signature) ||
        signature == 0 || !GetInteger(dict, "ID", &control->id.id) ||
        !GetBounds(dict, &control->bounds) || !GetString(dict, "Title", &control->title) ||
        !GetString(dict, "Text", &text) || !ToApplicationBytes(text, &control->textData) ||
        !GetBool(dict, "Active", &active))
        return nullptr;
    control->id.signature = signature;
    control->active = active;
    switch (control->kind) {
    case kControlKindPopupButton:
        control->menu = std::make_unique<OpaqueMenuRef>();
        if (!ReadMenuItems(dict, control->menu.get()))
            return nullptr;
        control->value = 1;
        control->minimum = 1;
        control->maximum = static_cast<SInt16>(std::max<size_t>(control->menu->items.size(), 1));
        break;
    case kControlKindPushButton:
    case kControlKindStaticText:
    case kControlKindIcon:
        break;
    default:
        return nullptr;
    }
    if (!GetInteger(dict, "Value", &control->value) ||
        !GetInteger(dict, "Minimum", &control->minimum) ||
        !GetInteger(dict, "Maximum", &control->maximum) || control->maximum < control->minimum)
        return nullptr;
    control->value = std::clamp(control->value, control->minimum, control->maximum);
    return control;
}

std::unique_ptr<OpaqueWindowPtr> ReadWindow(CFDictionaryRef dict, std::string name) {
    auto window = std::make_unique<OpaqueWindowPtr>();
    window->name = std::move(name);
    window->target.parent = &TheState().application;
    window->target.window = window.get();
    std::vector<CFDictionaryRef> controls;
    if (!GetString(dict, "Title", &window->title) || !GetBounds(dict, &window->bounds) ||
        !GetBool(dict, "Visible", &window->visible) ||
        !GetDictionaries(dict, "Controls", &controls))
        return nullptr;
    for (CFDictionaryRef entry : controls) {
        auto control = ReadControl(entry, window.get());
        if (!control)
            return nullptr;
        window->controls.push_back(std::move(control));
    }
    return window;
}

// The named entry of one of the file's top-level dictionaries.
CFTypeRef FindObject(IBNibRef nib, const char* section, CFStringRef name) {
    CFDictionaryRef objects = nullptr;
    if (nib == nullptr || name == nullptr ||
        !GetTyped(nib->root.get(), section, CFDictionaryGetTypeID(), &objects) ||
        objects == nullptr)
        return nullptr;
    return CFDictionaryGetValue(objects, name);
}

} // namespace

OSStatus CreateNibReference(CFStringRef inNibName, IBNibRef* outNibRef) {
    if (outNibRef == nullptr || inNibName == nullptr)
        return paramErr;
    *outNibRef = nullptr;
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (bundle == nullptr)
        return kIBCarbonRuntimeCantFindNibFile;
    cf::Owned<CFURLRef> resources(CFBundleCopyResourcesDirectoryURL(bundle));
    cf::Owned<CFStringRef> fileName(cf::CreateString(cf::ToUTF8(inNibName) + ".nib"));
    if (!resources || !fileName)
        return kIBCarbonRuntimeCantFindNibFile;
    cf::Owned<CFURLRef> file(CFURLCreateCopyAppendingPathComponent(
        kCFAllocatorDefault, resources.get(), fileName.get(), false));
    char path[PATH_MAX];
    if (!file || !CFURLGetFileSystemRepresentation(file.get(), true, reinterpret_cast<UInt8*>(path),
                                                   sizeof path))
        return kIBCarbonRuntimeCantFindNibFile;
    return CreateNibReferenceFromFile(path, outNibRef);
}

OSStatus CreateNibReferenceFromFile(const char* path, IBNibRef* outNibRef) {
    if (outNibRef == nullptr || path == nullptr)
        return paramErr;
    *outNibRef = nullptr;
    cf::Owned<CFPropertyListRef> root(CreatePropertyListFromXMLFile(path, nullptr));
    if (!root || CFGetTypeID(root.get()) != CFDictionaryGetTypeID())
        return kIBCarbonRuntimeCantFindNibFile;
    auto nib = std::make_unique<OpaqueIBNibRef>();
    nib->root.reset(static_cast<CFDictionaryRef>(root.release()));
    *outNibRef = nib.get();
    TheState().nibs.push_back(std::move(nib));
    return noErr;
}

void DisposeNibReference(IBNibRef inNibRef) {
    auto& nibs = TheState().nibs;
    std::erase_if(nibs, [inNibRef](const auto& nib) { return nib.get() == inNibRef; });
}

OSStatus SetMenuBarFromNib(IBNibRef inNibRef, CFStringRef inName) {
    CFTypeRef found = FindObject(inNibRef, "MenuBars", inName);
    if (found == nullptr)
        return kIBCarbonRuntimeCantFindObject;
    if (CFGetTypeID(found) != CFArrayGetTypeID())
        return kIBCarbonRuntimeObjectNotOfRequestedType;
    auto array = static_cast<CFArrayRef>(found);
    std::vector<std::unique_ptr<OpaqueMenuRef>> menus;
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        auto entry = static_cast<CFDictionaryRef>(CFArrayGetValueAtIndex(array, i));
        auto menu = std::make_unique<OpaqueMenuRef>();
        if (CFGetTypeID(entry) != CFDictionaryGetTypeID() ||
            !GetString(entry, "Title", &menu->title) || !ReadMenuItems(entry, menu.get()))
            return kIBCarbonRuntimeObjectNotOfRequestedType;
        menus.push_back(std::move(menu));
    }
    toolbox::State& state = TheState();
    state.menuBar.clear();
    for (auto& menu : menus) {
        state.menuBar.push_back(menu.get());
        state.menus.push_back(std::move(menu));
    }
    toolbox::NotifyChanged();
    return noErr;
}

OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef* outWindow) {
    if (outWindow == nullptr)
        return paramErr;
    *outWindow = nullptr;
    CFTypeRef found = FindObject(inNibRef, "Windows", inName);
    if (found == nullptr)
        return kIBCarbonRuntimeCantFindObject;
    if (CFGetTypeID(found) != CFDictionaryGetTypeID())
        return kIBCarbonRuntimeObjectNotOfRequestedType;
    auto window = ReadWindow(static_cast<CFDictionaryRef>(found), cf::ToUTF8(inName));
    if (!window)
        return kIBCarbonRuntimeObjectNotOfRequestedType;
    *outWindow = window.get();
    auto& windows = TheState().windows;
    windows.insert(windows.begin(), std::move(window));
    toolbox::NotifyChanged();
    return noErr;
}
