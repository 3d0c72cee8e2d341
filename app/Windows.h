// The application's two windows and the handlers through which every user
// action reaches the rest of the program.
#pragma once

#include "app/StartUp.h"
#include "platform/toolbox/ToolboxTypes.h"

extern WindowRef gMainWindow;
extern WindowRef gAboutWindow;
// "unknownDevice.icns" in the Resources folder; empty when it does not fit.
extern char gPathToUnknownIcon[kPathBufferSize];

// Creates both windows from the interface file, fills their icons, switches
// off the push button and installs the three handlers below. Answers the
// status of the last handler installation.
OSStatus CreateAllWindows();

// The About command shows the About window; application (de)activation is
// taken; everything else goes on to standard handling.
OSStatus DoAppCommandProcess(EventHandlerCallRef nextHandler, EventRef event, void* userData);
// Closing the main window ends the event loop; a hit on push button 1 extends
// the chosen drive's map, a hit on the popup chooses a drive.
OSStatus MainWindowEventHandler(EventHandlerCallRef nextHandler, EventRef event, void* userData);
// Closing the About window (given as userData) hides it.
OSStatus AboutWindowEventHandler(EventHandlerCallRef nextHandler, EventRef event, void* userData);
