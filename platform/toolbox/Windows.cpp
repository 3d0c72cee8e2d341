// Windows: visibility, order, title, the current port, and the window of a
// standard alert.
#include "platform/toolbox/Windows.h"

#include <algorithm>

#include "platform/corefoundation/CFHelpers.h"
#include "platform/toolbox/ToolboxModel.h"

using toolbox::TheState;

void ShowWindow(WindowRef window) {
    if (window == nullptr || window->visible)
        return;
    window->visible = true;
    toolbox::NotifyChanged();
}

void HideWindow(WindowRef window) {
    if (window == nullptr || !window->visible)
        return;
    window->visible = false;
    toolbox::NotifyChanged();
}

void SelectWindow(WindowRef window) {
    auto& windows = TheState().windows;
    auto found = std::find_if(windows.begin(), windows.end(),
                              [window](const auto& w) { return w.get() == window; });
    if (found == windows.end())
        return;
    std::rotate(windows.begin(), found, found + 1);
    toolbox::NotifyChanged();
}

Boolean IsWindowVisible(WindowRef window) {
    return window != nullptr && window->visible;
}

void SetPortWindowPort(WindowRef window) {
    TheState().port = window;
}

OSStatus SetWindowTitleWithCFString(WindowRef window, CFStringRef title) {
    if (window == nullptr || title == nullptr)
        return paramErr;
    window->title = toolbox::TextFromCFString(title);
    toolbox::NotifyChanged();
    return noErr;
}

OSStatus CopyWindowTitleAsCFString(WindowRef window, CFStringRef* outTitle) {
    if (window == nullptr || outTitle == nullptr)
        return paramErr;
    *outTitle = cf::CreateString(window->title);
    return *outTitle != nullptr ? noErr : paramErr;
}

WindowRef GetDialogWindow(DialogRef dialog) {
    return dialog != nullptr ? &dialog->window : nullptr;
}
