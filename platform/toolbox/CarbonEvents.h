// Carbon events: handlers on the application and its windows and controls,
// dispatch with standard handling, and the application event loop.
//
// An event goes to its target's handlers, most recently installed first,
// then up the containment: control -> window -> application. A handler
// answers noErr to take the event or eventNotHandledErr to pass it on, and
// may call CallNextEventHandler to run the rest of the chain first. What no
// handler takes gets standard handling: the command 'quit' ends the event
// loop, and a window's close event hides that window.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/ToolboxTypes.h"

typedef UInt32 EventParamName;
typedef UInt32 EventParamType;
typedef UInt32 EventAttributes;
typedef double EventTime;

typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef inHandlerCallRef, EventRef inEvent,
                                        void* inUserData);
typedef EventHandlerProcPtr EventHandlerUPP;

enum : UInt32 {
    kEventClassCommand = 'cmds',
    kEventClassApplication = 'appl',
    kEventClassWindow = 'wind',
    kEventClassControl = 'cntl',
};

enum : UInt32 {
    kEventCommandProcess = 1,
    kEventAppActivated = 1,
    kEventAppDeactivated = 2,
    kEventWindowClose = 72,
    kEventControlHit = 1,
};

enum : MenuCommand {
    kHICommandAbout = 'abou',
    kHICommandQuit = 'quit',
};

// HICommand.attributes: the command was chosen from a menu item.
enum : UInt32 {
    kHICommandFromMenu = 1,
};

enum : EventParamName {
    kEventParamDirectObject = '----',
};

enum : EventParamType {
    typeHICommand = 'hcmd',
    typeControlRef = 'ctrl',
    typeWindowRef = 'wind',
};

enum : EventAttributes {
    kEventAttributeNone = 0,
};

enum : OSStatus {
    eventParameterNotFoundErr = -9870,
    errAECoercionFail = -1700,
};

EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine);
void DisposeEventHandlerUPP(EventHandlerUPP userUPP);

EventTargetRef GetApplicationEventTarget();
EventTargetRef GetWindowEventTarget(WindowRef window);
EventTargetRef GetControlEventTarget(ControlRef control);

// outRef may be null.
OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* list, void* userData, EventHandlerRef* outRef);
OSStatus RemoveEventHandler(EventHandlerRef handler);

UInt32 GetEventClass(EventRef event);
UInt32 GetEventKind(EventRef event);
// outActualType and outActualSize may be null. A parameter the event lacks
// gives eventParameterNotFoundErr, one of another type errAECoercionFail, a
// buffer too small for it paramErr.
OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* outActualType, ByteCount bufferSize,
                           ByteCount* outActualSize, void* outData);
OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, ByteCount size,
                           const void* data);

OSStatus CreateEvent(CFAllocatorRef allocator, UInt32 eventClass, UInt32 kind, EventTime when,
                     EventAttributes flags, EventRef* outEvent);
void ReleaseEvent(EventRef event);
// Dispatches the event at once and answers the result of its handling.
OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target);

// Runs the rest of the handler chain after the calling handler.
OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent);

// Hands the program to the view until QuitApplicationEventLoop is called (or
// until there is no view to deliver events).
void RunApplicationEventLoop();
void QuitApplicationEventLoop();
