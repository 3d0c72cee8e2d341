// Windows of the toolbox model.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/ToolboxTypes.h"

void ShowWindow(WindowRef window);
void HideWindow(WindowRef window);
// Brings the window to the front (it stays hidden when it is hidden).
void SelectWindow(WindowRef window);
Boolean IsWindowVisible(WindowRef window);
// Makes the window the current drawing port.
void SetPortWindowPort(WindowRef window);

OSStatus SetWindowTitleWithCFString(WindowRef window, CFStringRef title);
// The caller releases the copy.
OSStatus CopyWindowTitleAsCFString(WindowRef window, CFStringRef* outTitle);

// The window in which a dialog (a standard alert) is shown.
WindowRef GetDialogWindow(DialogRef dialog);
