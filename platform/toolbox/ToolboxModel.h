// The retained model behind the toolbox calls: the objects the handle types
// point at, and the one state that holds them. Internal to the toolbox
// folder (and its tests); the application sees only the opaque handles and
// views see only the snapshots of View.h.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/corefoundation/CFHelpers.h"
#include "platform/toolbox/CarbonEvents.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/StandardAlerts.h"
#include "platform/toolbox/View.h"

// An icon family file registered with Icon Services.
struct OpaqueIconRef {
    std::string path;
};

struct OpaqueEventHandlerRef {
    EventTargetRef target = nullptr;
    EventHandlerUPP proc = nullptr;
    std::vector<EventTypeSpec> types;
    void* userData = nullptr;

    bool Takes(UInt32 eventClass, UInt32 kind) const;
};

// Where events are sent: the application, a window or a control. What no
// handler here takes goes on to the parent.
struct OpaqueEventTargetRef {
    OpaqueEventTargetRef* parent = nullptr;
    WindowRef window = nullptr; // the window of a window's target
    // Most recently installed last; shared so that a handler removed while an
    // event is being dispatched stays alive until the dispatch ends.
    std::vector<std::shared_ptr<OpaqueEventHandlerRef>> handlers;
};

struct EventParameter {
    EventParamType type = 0;
    std::vector<unsigned char> bytes;
};

struct OpaqueEventRef {
    UInt32 eventClass = 0;
    UInt32 kind = 0;
    std::map<EventParamName, EventParameter> parameters;
};

namespace toolbox {

struct MenuItem {
    std::string text; // UTF-8
    MenuCommand command = 0;
    MenuItemAttributes attributes = 0;
    std::optional<std::string> iconPath;

    bool IsSeparator() const { return (attributes & kMenuItemAttrSeparator) != 0; }
    bool IsEnabled() const { return (attributes & kMenuItemAttrDisabled) == 0 && !IsSeparator(); }
};

} // namespace toolbox

struct OpaqueMenuRef {
    std::string title;
    std::vector<toolbox::MenuItem> items; // item n is items[n - 1]
};

struct OpaqueControlRef {
    WindowRef owner = nullptr;
    OSType kind = 0;
    ControlID id{};
    Rect bounds{};
    std::string title;    // UTF-8
    std::string textData; // static text bytes, in the application's encoding
    SInt16 value = 0;
    SInt16 minimum = 0;
    SInt16 maximum = 0;
    bool active = true;
    ControlButtonContentInfo content{};  // icon
    std::unique_ptr<OpaqueMenuRef> menu; // popup button
    OpaqueEventTargetRef target;
};

struct OpaqueWindowPtr {
    std::string name;  // in the interface file
    std::string title; // UTF-8
    Rect bounds{};
    bool visible = false;
    std::vector<std::unique_ptr<OpaqueControlRef>> controls;
    OpaqueEventTargetRef target;
};

// An opened interface file: its property list, read once.
struct OpaqueIBNibRef {
    cf::Owned<CFDictionaryRef> root;
};

// A standard alert between its creation and the end of its run.
struct OpaqueDialogPtr {
    OpaqueWindowPtr window;
    toolbox::AlertInfo alert; // all but the title, which is the window's
};

namespace toolbox {

// Icon family data behind the handles of ReadIconFromFSRef and
// IconFamilyToIconSuite. `master` is what the Handle points at.
struct IconHandleBlock {
    Ptr master = nullptr;
    std::vector<char> bytes;
    std::string path; // the file it was read from
    bool suite = false;
};

struct State {
    OpaqueEventTargetRef application;
    std::vector<std::unique_ptr<OpaqueWindowPtr>> windows; // frontmost first
    std::vector<std::unique_ptr<OpaqueMenuRef>> menus;     // every menu-bar menu made
    std::vector<MenuRef> menuBar;
    std::vector<std::unique_ptr<OpaqueDialogPtr>> alerts; // created, not yet run
    std::vector<std::unique_ptr<OpaqueIBNibRef>> nibs;
    // Icon references stay valid for the run, also after unregistering,
    // because controls may still show them.
    std::vector<std::unique_ptr<OpaqueIconRef>> icons;
    std::map<std::pair<OSType, OSType>, IconRef> registrations;
    std::vector<std::unique_ptr<IconHandleBlock>> iconHandles;
    WindowRef port = nullptr;
    bool loopRunning = false;
    std::unique_ptr<View> view;
};

State& TheState();
// Forgets every window, menu, handler, alert and icon, and the view (tests).
void ResetToolbox();

// The model as views see it.
Model& ViewModel();
// Tells the view that something it shows has changed.
void NotifyChanged();

// Sends an event to a target and runs the handler chain and standard handling.
OSStatus Dispatch(OpaqueEventRef& event, EventTargetRef target);
// The target of a command: the frontmost visible window, else the application.
EventTargetRef UserFocusTarget();

void SetParameter(OpaqueEventRef& event, EventParamName name, EventParamType type, const void* data,
                  ByteCount size);

// Texts: the application's byte strings (its text encoding) and CFStrings to UTF-8.
std::string TextFromApplicationBytes(std::string_view bytes);
std::string TextFromCFString(CFStringRef string);

IconHandleBlock* FindIconHandle(Handle handle);
// True for an icon reference Icon Services made.
bool IsKnownIcon(IconRef icon);

} // namespace toolbox
