// Event handlers, dispatch along the containment chain with standard
// handling at its end, and the application event loop.
#include "platform/toolbox/CarbonEvents.h"

#include <cstring>

#include "platform/toolbox/ToolboxModel.h"
#include "platform/toolbox/Windows.h"

using toolbox::TheState;

namespace {

typedef std::vector<std::shared_ptr<OpaqueEventHandlerRef>> HandlerChain;

} // namespace

// Where a handler stands in the chain of the event it is handling.
struct OpaqueEventHandlerCallRef {
    const HandlerChain* chain = nullptr;
    size_t next = 0;
    EventTargetRef target = nullptr; // where the event was sent
    bool nextCalled = false;
};

namespace {

WindowRef WindowOfEvent(const OpaqueEventRef& event, EventTargetRef target) {
    WindowRef window = nullptr;
    if (GetEventParameter(const_cast<OpaqueEventRef*>(&event), kEventParamDirectObject,
                          typeWindowRef, nullptr, sizeof window, nullptr, &window) == noErr)
        return window;
    for (EventTargetRef t = target; t != nullptr; t = t->parent) {
        if (t->window != nullptr)
            return t->window;
    }
    return nullptr;
}

// What happens to an event no handler takes.
OSStatus StandardHandling(OpaqueEventRef& event, EventTargetRef target) {
    if (event.eventClass == kEventClassCommand && event.kind == kEventCommandProcess) {
        HICommand command{};
        if (GetEventParameter(&event, kEventParamDirectObject, typeHICommand, nullptr,
                              sizeof command, nullptr, &command) == noErr &&
            command.commandID == kHICommandQuit) {
            QuitApplicationEventLoop();
            return noErr;
        }
    } else if (event.eventClass == kEventClassWindow && event.kind == kEventWindowClose) {
        if (WindowRef window = WindowOfEvent(event, target)) {
            HideWindow(window);
            return noErr;
        }
    }
    return eventNotHandledErr;
}

OSStatus RunChain(const HandlerChain& chain, size_t index, OpaqueEventRef& event,
                  EventTargetRef target) {
    while (index < chain.size() && chain[index]->proc == nullptr) // removed meanwhile
        ++index;
    if (index == chain.size())
        return StandardHandling(event, target);
    OpaqueEventHandlerCallRef call{&chain, index + 1, target};
    const OpaqueEventHandlerRef& handler = *chain[index];
    OSStatus result = handler.proc(&call, &event, handler.userData);
    if (result == eventNotHandledErr && !call.nextCalled)
        return RunChain(chain, index + 1, event, target);
    return result;
}

} // namespace

bool OpaqueEventHandlerRef::Takes(UInt32 eventClass, UInt32 kind) const {
    for (const EventTypeSpec& type : types) {
        if (type.eventClass == eventClass && type.eventKind == kind)
            return true;
    }
    return false;
}

namespace toolbox {

OSStatus Dispatch(OpaqueEventRef& event, EventTargetRef target) {
    HandlerChain chain;
    for (EventTargetRef t = target; t != nullptr; t = t->parent) {
        for (auto h = t->handlers.rbegin(); h != t->handlers.rend(); ++h) {
            if ((*h)->Takes(event.eventClass, event.kind))
                chain.push_back(*h);
        }
    }
    return RunChain(chain, 0, event, target);
}

EventTargetRef UserFocusTarget() {
    for (auto& window : TheState().windows) {
        if (window->visible)
            return &window->target;
    }
    return &TheState().application;
}

void SetParameter(OpaqueEventRef& event, EventParamName name, EventParamType type, const void* data,
                  ByteCount size) {
    EventParameter& parameter = event.parameters[name];
    parameter.type = type;
    const auto* bytes = static_cast<const unsigned char*>(data);
    parameter.bytes.assign(bytes, bytes + size);
}

} // namespace toolbox

EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine) {
    return userRoutine;
}

void DisposeEventHandlerUPP(EventHandlerUPP) {}

EventTargetRef GetApplicationEventTarget() {
    return &TheState().application;
}

EventTargetRef GetWindowEventTarget(WindowRef window) {
    return window != nullptr ? &window->target : nullptr;
}

EventTargetRef GetControlEventTarget(ControlRef control) {
    return control != nullptr ? &control->target : nullptr;
}

OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* list, void* userData, EventHandlerRef* outRef) {
    if (outRef != nullptr)
        *outRef = nullptr;
    if (target == nullptr || handler == nullptr || (numTypes > 0 && list == nullptr))
        return paramErr;
    auto installed = std::make_shared<OpaqueEventHandlerRef>();
    installed->target = target;
    installed->proc = handler;
    installed->types.assign(list, list + numTypes);
    installed->userData = userData;
    target->handlers.push_back(installed);
    if (outRef != nullptr)
        *outRef = installed.get();
    return noErr;
}

OSStatus RemoveEventHandler(EventHandlerRef handler) {
    if (handler == nullptr)
        return paramErr;
    auto& handlers = handler->target->handlers;
    for (auto h = handlers.begin(); h != handlers.end(); ++h) {
        if (h->get() == handler) {
            handler->proc = nullptr;
            handlers.erase(h);
            return noErr;
        }
    }
    return paramErr;
}

UInt32 GetEventClass(EventRef event) {
    return event != nullptr ? event->eventClass : 0;
}

UInt32 GetEventKind(EventRef event) {
    return event != nullptr ? event->kind : 0;
}

OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* outActualType, ByteCount bufferSize,
                           ByteCount* outActualSize, void* outData) {
    if (event == nullptr)
        return paramErr;
    auto found = event->parameters.find(name);
    if (found == event->parameters.end())
        return eventParameterNotFoundErr;
    const EventParameter& parameter = found->second;
    if (parameter.type != desiredType)
        return errAECoercionFail;
    if (outActualType != nullptr)
        *outActualType = parameter.type;
    if (outActualSize != nullptr)
        *outActualSize = static_cast<ByteCount>(parameter.bytes.size());
    if (outData != nullptr) {
        if (bufferSize < parameter.bytes.size())
            return paramErr;
        std::memcpy(outData, parameter.bytes.data(), parameter.bytes.size());
    }
    return noErr;
}

OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, ByteCount size,
                           const void* data) {
    if (event == nullptr || (size > 0 && data == nullptr))
        return paramErr;
    toolbox::SetParameter(*event, name, type, data, size);
    return noErr;
}

OSStatus CreateEvent(CFAllocatorRef, UInt32 eventClass, UInt32 kind, EventTime, EventAttributes,
                     EventRef* outEvent) {
    if (outEvent == nullptr)
        return paramErr;
    *outEvent = new OpaqueEventRef{eventClass, kind, {}};
    return noErr;
}

void ReleaseEvent(EventRef event) {
    delete event;
}

OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target) {
    if (event == nullptr || target == nullptr)
        return paramErr;
    return toolbox::Dispatch(*event, target);
}

OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent) {
    if (inCallRef == nullptr || inEvent == nullptr)
        return paramErr;
    inCallRef->nextCalled = true;
    return RunChain(*inCallRef->chain, inCallRef->next, *inEvent, inCallRef->target);
}

void RunApplicationEventLoop() {
    toolbox::State& state = TheState();
    if (state.loopRunning)
        return;
    state.loopRunning = true;
    // Once its loop runs, the application is the one in front.
    OpaqueEventRef activated{kEventClassApplication, kEventAppActivated, {}};
    toolbox::Dispatch(activated, &state.application);
    if (state.view && state.loopRunning)
        state.view->RunEventLoop(toolbox::ViewModel());
    state.loopRunning = false;
}

void QuitApplicationEventLoop() {
    TheState().loopRunning = false;
    toolbox::NotifyChanged();
}
