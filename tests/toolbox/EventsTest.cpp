// Event dispatch: the order of handlers, passing on and CallNextEventHandler,
// standard handling, event parameters and the event loop.
#include <string>
#include <vector>

#include "platform/toolbox/CarbonEvents.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/ToolboxModel.h"
#include "platform/toolbox/Windows.h"
#include "tests/toolbox/ToolboxFixture.h"

namespace {

// What each handler does, and the log of who ran.
struct Probe {
    std::string name;
    OSStatus answer = eventNotHandledErr;
    bool callNext = false;
    OSStatus nextResult = 1;
    std::vector<std::string>* log = nullptr;
};

OSStatus ProbeHandler(EventHandlerCallRef call, EventRef event, void* userData) {
    auto* probe = static_cast<Probe*>(userData);
    probe->log->push_back(probe->name);
    if (probe->callNext)
        probe->nextResult = CallNextEventHandler(call, event);
    return probe->answer;
}

const EventTypeSpec kHit{kEventClassControl, kEventControlHit};
const EventTypeSpec kClose{kEventClassWindow, kEventWindowClose};
const EventTypeSpec kCommand{kEventClassCommand, kEventCommandProcess};

class Events : public ToolboxTest {
  protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        LoadMainNib();
        ShowWindow(mainWindow_);
        push_ = ControlOf(mainWindow_, 'push', 1);
    }

    void Install(EventTargetRef target, const EventTypeSpec& type, Probe& probe) {
        probe.log = &log_;
        ASSERT_EQ(InstallEventHandler(target, NewEventHandlerUPP(ProbeHandler), 1, &type, &probe,
                                      nullptr),
                  noErr);
    }

    OSStatus Send(UInt32 eventClass, UInt32 kind, EventTargetRef target) {
        EventRef event = nullptr;
        CreateEvent(nullptr, eventClass, kind, 0, kEventAttributeNone, &event);
        OSStatus result = SendEventToEventTarget(event, target);
        ReleaseEvent(event);
        return result;
    }

    std::vector<std::string> log_;
    ControlRef push_ = nullptr;
};

TEST_F(Events, GoFromControlToWindowToApplicationNewestHandlerFirst) {
    Probe app{"app"}, window1{"window1"}, window2{"window2"}, control{"control"};
    Install(GetApplicationEventTarget(), kHit, app);
    Install(GetWindowEventTarget(mainWindow_), kHit, window1);
    Install(GetWindowEventTarget(mainWindow_), kHit, window2);
    Install(GetControlEventTarget(push_), kHit, control);

    toolbox::ViewModel().ClickControl(push_);

    EXPECT_EQ(log_, (std::vector<std::string>{"control", "window2", "window1", "app"}));
}

TEST_F(Events, StopAtTheFirstHandlerThatTakesTheEvent) {
    Probe app{"app"}, window{"window", noErr};
    Install(GetApplicationEventTarget(), kHit, app);
    Install(GetWindowEventTarget(mainWindow_), kHit, window);

    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, GetControlEventTarget(push_)), noErr);
    EXPECT_EQ(log_, std::vector<std::string>{"window"});
}

TEST_F(Events, ReachOnlyHandlersInstalledForTheirType) {
    Probe closeOnly{"close"};
    Install(GetWindowEventTarget(mainWindow_), kClose, closeOnly);

    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, GetControlEventTarget(push_)),
              eventNotHandledErr);
    EXPECT_TRUE(log_.empty());
}

TEST_F(Events, CallNextEventHandlerRunsTheRestOnceAndAnswersItsResult) {
    Probe app{"app", noErr}, window{"window", eventNotHandledErr, true};
    Install(GetApplicationEventTarget(), kHit, app);
    Install(GetWindowEventTarget(mainWindow_), kHit, window);

    // The window handler passes on after calling the next handler itself:
    // the application handler must not run a second time.
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, GetControlEventTarget(push_)),
              eventNotHandledErr);
    EXPECT_EQ(window.nextResult, noErr);
    EXPECT_EQ(log_, (std::vector<std::string>{"window", "app"}));
}

TEST_F(Events, CallNextEventHandlerReachesStandardHandling) {
    Probe window{"window", noErr, true};
    Install(GetWindowEventTarget(mainWindow_), kClose, window);

    toolbox::ViewModel().CloseWindow(mainWindow_);

    EXPECT_EQ(window.nextResult, noErr);
    EXPECT_FALSE(IsWindowVisible(mainWindow_));
}

TEST_F(Events, ACloseNobodyTakesHidesTheWindowOneTakenDoesNot) {
    toolbox::ViewModel().CloseWindow(mainWindow_);
    EXPECT_FALSE(IsWindowVisible(mainWindow_));

    ShowWindow(mainWindow_);
    Probe taker{"taker", noErr};
    Install(GetWindowEventTarget(mainWindow_), kClose, taker);
    toolbox::ViewModel().CloseWindow(mainWindow_);
    EXPECT_TRUE(IsWindowVisible(mainWindow_));
}

TEST_F(Events, RemovedHandlersAreNotCalled) {
    Probe app{"app"};
    EventHandlerRef handler = nullptr;
    app.log = &log_;
    ASSERT_EQ(
        InstallEventHandler(GetApplicationEventTarget(), ProbeHandler, 1, &kHit, &app, &handler),
        noErr);
    EXPECT_EQ(RemoveEventHandler(handler), noErr);
    toolbox::ViewModel().ClickControl(push_);
    EXPECT_TRUE(log_.empty());
}

TEST_F(Events, AnInactiveControlOrAHiddenWindowGetsNoEvent) {
    Probe app{"app"};
    Install(GetApplicationEventTarget(), kHit, app);
    Install(GetApplicationEventTarget(), kClose, app);

    DeactivateControl(push_);
    toolbox::ViewModel().ClickControl(push_);
    toolbox::ViewModel().CloseWindow(aboutWindow_); // hidden
    EXPECT_TRUE(log_.empty());

    ActivateControl(push_);
    toolbox::ViewModel().ClickControl(push_);
    EXPECT_EQ(log_, std::vector<std::string>{"app"});
}

OSStatus ReadHit(EventHandlerCallRef, EventRef event, void* userData) {
    auto* results = static_cast<std::vector<OSStatus>*>(userData);
    ControlRef control = nullptr;
    HICommand command{};
    ByteCount size = 0;
    EventParamType type = 0;
    results->push_back(GetEventParameter(event, kEventParamDirectObject, typeControlRef, &type,
                                         sizeof control, &size, &control));
    results->push_back(type == typeControlRef && size == sizeof control ? noErr : paramErr);
    results->push_back(GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr,
                                         sizeof command, nullptr, &command));
    results->push_back(GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr,
                                         sizeof control - 1, nullptr, &control));
    results->push_back(GetEventParameter(event, 'none', typeControlRef, nullptr, sizeof control,
                                         nullptr, &control));
    return noErr;
}

TEST_F(Events, ParametersAreReadByNameTypeAndSize) {
    std::vector<OSStatus> results;
    InstallEventHandler(GetWindowEventTarget(mainWindow_), ReadHit, 1, &kHit, &results, nullptr);
    toolbox::ViewModel().ClickControl(push_);
    EXPECT_EQ(results, (std::vector<OSStatus>{noErr, noErr, errAECoercionFail, paramErr,
                                              eventParameterNotFoundErr}));
}

OSStatus RecordCommand(EventHandlerCallRef, EventRef event, void* userData) {
    auto* command = static_cast<HICommand*>(userData);
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof *command,
                      nullptr, command);
    return eventNotHandledErr;
}

TEST_F(Events, TheQuitCommandEndsTheLoopUnlessAHandlerTakesIt) {
    RecordingView& view = InstallRecordingView();
    HICommand seen{};
    InstallEventHandler(GetApplicationEventTarget(), RecordCommand, 1, &kCommand, &seen, nullptr);
    bool runningAfterQuit = true;
    view.loop = [&](toolbox::Model& model) {
        toolbox::MenuInfo menu = model.MenuBar().at(0);
        for (size_t i = 0; i < menu.items.size(); ++i) {
            if (menu.items[i].command == kHICommandQuit)
                model.ChooseMenuItem(menu.menu, static_cast<MenuItemIndex>(i + 1));
        }
        runningAfterQuit = model.EventLoopRunning();
    };
    RunApplicationEventLoop();
    EXPECT_FALSE(runningAfterQuit);
    EXPECT_EQ(seen.commandID, kHICommandQuit);
    EXPECT_EQ(seen.attributes, kHICommandFromMenu);
    EXPECT_EQ(CountMenuItems(seen.menu.menuRef), 3);
    EXPECT_EQ(seen.menu.menuItemIndex, 3);

    Probe taker{"taker", noErr};
    Install(GetApplicationEventTarget(), kCommand, taker);
    RunApplicationEventLoop();
    EXPECT_TRUE(runningAfterQuit);
}

TEST_F(Events, TheLoopActivatesTheApplicationAndEndsWithoutAView) {
    Probe activated{"activated"};
    Install(GetApplicationEventTarget(), {kEventClassApplication, kEventAppActivated}, activated);
    RunApplicationEventLoop(); // no view: nobody can act, so it returns
    EXPECT_EQ(log_, std::vector<std::string>{"activated"});
}

} // namespace
