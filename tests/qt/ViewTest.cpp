// The desktop view against a model of the test's own: what the windows show
// of the model, what a person's mouse and keys send to it, and the alerts.
// On Qt's offscreen platform, with the test's own application object.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QStandardItemModel>
#include <QTest>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/toolbox/CarbonEvents.h"
#include "tests/qt/Steps.h"
#include "tests/qt/Widgets.h"
#include "views/qt/QtView.h"

namespace {

using namespace qttest;
using toolbox::ControlInfo;
using toolbox::MenuItemInfo;
using toolbox::WindowInfo;

// Distinct handles for the model's objects; the view only compares them.
char gHandles[16];
template <typename Ref> Ref Handle(int n) {
    return reinterpret_cast<Ref>(&gHandles[n]);
}

const std::string kIcon = std::string(BUNDLE_RESOURCES) + "/unknownDevice.icns";
const std::string kLogo = std::string(BUNDLE_RESOURCES) + "/AppLogo.icns";

ControlInfo MakeControl(int handle, OSType kind, OSType signature, SInt32 id, Rect bounds) {
    ControlInfo control;
    control.control = Handle<ControlRef>(handle);
    control.kind = kind;
    control.id = {signature, id};
    control.bounds = bounds;
    return control;
}

// The program's windows in small: a popup, texts, icons and a push button in
// the main window, a centred text in the hidden About window; the
// application menu with About and Quit. Actions are recorded and answered
// as the program answers them.
class FakeModel final : public toolbox::Model {
  public:
    FakeModel() {
        WindowInfo main{Handle<WindowRef>(0), "MainWindow", "Main", {80, 80, 280, 520}, true, {}};
        ControlInfo popup = MakeControl(1, 'popb', 'popb', 1, {20, 96, 40, 424});
        popup.title = "Drive:";
        popup.value = 1;
        popup.menu.items = {{"Choose a drive", 0, false, true, {}},
                            {"", 0, true, false, {}},
                            {"Fast & Big; Drive (2)", 0, false, true, kIcon},
                            {"No icon file", 0, false, true, "/nonexistent/x.icns"},
                            {"Not choosable", 0, false, false, {}}};
        ControlInfo text = MakeControl(2, 'stxt', 'stxt', 1, {56, 140, 72, 424});
        text.text = "ATA Bus 1: Master";
        ControlInfo logo = MakeControl(3, 'icon', 'icon', 2, {12, 16, 76, 80});
        logo.iconPath = kLogo;
        ControlInfo push = MakeControl(4, 'push', 'push', 1, {160, 334, 180, 424});
        push.title = "Extend";
        push.active = false;
        main.controls = {popup, text, logo, push};

        WindowInfo about{Handle<WindowRef>(5), "AboutWindow", "About",
                         {120, 160, 300, 460}, false,         {}};
        ControlInfo name = MakeControl(6, 'stxt', 'stxt', 1, {92, 16, 110, 284});
        name.text = "Capacity Extender";
        about.controls = {name};
        windows = {main, about};

        menus = {{Handle<MenuRef>(7),
                  "Capacity Extender",
                  {{"About Capacity Extender…", kHICommandAbout, false, true, {}},
                   {"", 0, true, false, {}},
                   {"Quit Capacity Extender", kHICommandQuit, false, true, {}}}}};
    }

    std::vector<WindowInfo> Windows() const override {
        ++reads;
        return windows;
    }
    std::vector<toolbox::MenuInfo> MenuBar() const override { return menus; }
    bool EventLoopRunning() const override { return running; }

    void ChooseMenuItem(MenuRef, MenuItemIndex item) override {
        events.push_back("menu " + std::to_string(item));
        if (menus[0].items[item - 1].command == kHICommandAbout)
            windows[1].visible = true;
        if (menus[0].items[item - 1].command == kHICommandQuit)
            running = false;
    }
    // Choosing a drive makes the button active.
    void ChoosePopupItem(ControlRef, MenuItemIndex item) override {
        events.push_back("choose " + std::to_string(item));
        windows[0].controls[0].value = static_cast<SInt16>(item);
        windows[0].controls[3].active = true;
    }
    void ClickControl(ControlRef control) override {
        events.push_back(control == Handle<ControlRef>(4) ? "click push1" : "click other");
    }
    // The About window hides; the main window stays, as if the program
    // kept it.
    void CloseWindow(WindowRef window) override {
        bool isAbout = window == windows[1].window;
        events.push_back(isAbout ? "close AboutWindow" : "close MainWindow");
        if (isAbout)
            windows[1].visible = false;
    }
    void SetApplicationActive(bool) override {}

    std::vector<WindowInfo> windows;
    std::vector<toolbox::MenuInfo> menus;
    bool running = true;
    std::vector<std::string> events;
    mutable int reads = 0;
};

class QtViewTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "qt_tests";
        static char* argv[] = {name, nullptr};
        application_ = new QApplication(argc, argv);
    }
    // Qt goes before the process ends, not among its static objects.
    static void TearDownTestSuite() {
        delete application_;
        application_ = nullptr;
    }

    // Runs the view's event loop with the steps done inside it; the loop
    // ends after the last step, or with the last step when it ends the
    // model's loop itself.
    void RunLoop(std::vector<Step> steps, bool lastStepEndsLoop = false) {
        steps.push_back({"end the loop", [this] {
                             model_.running = false;
                             view_.Changed(model_);
                             return true;
                         }});
        StepRunner runner(std::move(steps), [this](const std::string& what) {
            ADD_FAILURE() << "stuck at: " << what;
            model_.running = false;
            view_.Changed(model_);
        });
        runner.Start(qApp);
        view_.RunEventLoop(model_);
        EXPECT_TRUE(runner.Finished() || (lastStepEndsLoop && !model_.running));
    }

    // A step that checks something once the view has caught up.
    static Step Check(std::string what, std::function<void()> check) {
        return {std::move(what), [check] {
                    check();
                    return true;
                }};
    }

    static inline QApplication* application_ = nullptr;
    FakeModel model_;
    qtview::QtView view_{""};
};

TEST_F(QtViewTest, WindowsShowTheModel) {
    RunLoop({Check("the windows", [] {
        QMainWindow* main = FindWindow("MainWindow");
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(main->windowTitle(), "Main");
        EXPECT_EQ(main->centralWidget()->size(), QSize(440, 200));
        EXPECT_FALSE(Shown("AboutWindow"));

        QWidget* text = Control(main, "stxt1");
        EXPECT_EQ(text->geometry(), QRect(140, 56, 284, 16));
        EXPECT_EQ(Text(main, "stxt1"), "ATA Bus 1: Master");
        // A text centred in its window reads centred.
        QLabel* name = Control(FindWindow("AboutWindow"), "stxt1")->findChild<QLabel*>();
        EXPECT_TRUE(name->alignment() & Qt::AlignHCenter);

        // Item 1, a real separator, names as they are, icons where the file is.
        QComboBox* popup = Popup(main);
        ASSERT_EQ(popup->count(), 5);
        EXPECT_EQ(popup->currentIndex(), 0);
        EXPECT_EQ(popup->itemText(0), "Choose a drive");
        EXPECT_TRUE(IsSeparator(popup, 1));
        EXPECT_EQ(popup->itemText(2), "Fast & Big; Drive (2)");
        EXPECT_FALSE(popup->itemIcon(2).isNull());
        EXPECT_TRUE(popup->itemIcon(3).isNull());
        auto* items = static_cast<QStandardItemModel*>(popup->model());
        EXPECT_TRUE(items->item(2)->isEnabled());
        EXPECT_FALSE(items->item(4)->isEnabled());

        EXPECT_FALSE(PushButton(main)->isEnabled());
        EXPECT_EQ(PushButton(main)->text(), "Extend");

        // Every control can be named by a screen reader.
        EXPECT_EQ(popup->accessibleName(), "Drive");
        EXPECT_EQ(PushButton(main)->accessibleName(), "Extend");
        EXPECT_EQ(Control(main, "icon2")->accessibleName(), "App logo icon");

        // The logo is drawn at the icon's size, with more than a flat fill.
        QImage logo = Control(main, "icon2")->grab().toImage();
        EXPECT_EQ(logo.size(), QSize(64, 64));
        EXPECT_NE(logo.pixel(32, 32), logo.pixel(0, 0));

        QAction* quit = MenuAction(main, "Quit");
        ASSERT_NE(quit, nullptr);
        EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    })});
    EXPECT_FALSE(Shown("MainWindow")) << "the windows go with the loop";
}

TEST_F(QtViewTest, KeysMenusAndCloseBoxesReachTheModelAndTheWindowsFollowIt) {
    auto popup = [] { return Popup(FindWindow("MainWindow")); };
    RunLoop(
        {// Keys that would move through a closed popup open it instead.
         {"open the popup with Down",
          [&] {
              popup()->setFocus();
              QTest::keyClick(popup(), Qt::Key_Down);
              return true;
          }},
         {"choose item 3 in the list",
          [&] {
              QAbstractItemView* list = popup()->view();
              if (!list->isVisible())
                  return false;
              EXPECT_TRUE(model_.events.empty()) << "nothing chosen by opening";
              QTest::keyClick(list, Qt::Key_Down); // past the separator to item 3
              QTest::keyClick(list, Qt::Key_Return);
              return true;
          }},
         {"the button follows the model",
          [&] {
              if (model_.events.empty())
                  return false;
              EXPECT_EQ(model_.events, std::vector<std::string>{"choose 3"});
              EXPECT_EQ(popup()->currentIndex(), 2);
              QPushButton* push = PushButton(FindWindow("MainWindow"));
              EXPECT_TRUE(push->isEnabled());
              // Tab moves from the popup to the button; Return and Space press it.
              popup()->setFocus();
              QTest::keyClick(popup(), Qt::Key_Tab);
              EXPECT_EQ(FindWindow("MainWindow")->focusWidget(), push);
              QTest::keyClick(push, Qt::Key_Return);
              QTest::keyClick(push, Qt::Key_Space);
              return true;
          }},
         {"the About command shows the About window",
          [&] {
              if (model_.events.size() < 3)
                  return false;
              EXPECT_EQ(model_.events[1], "click push1");
              EXPECT_EQ(model_.events[2], "click push1");
              MenuAction(FindWindow("MainWindow"), "About")->trigger();
              return true;
          }},
         {"its close box hides it",
          [&] {
              if (!Shown("AboutWindow"))
                  return false;
              FindWindow("AboutWindow")->close();
              return true;
          }},
         {"a close box the program ignores keeps the window",
          [&] {
              if (Shown("AboutWindow"))
                  return false;
              FindWindow("MainWindow")->close();
              return true;
          }},
         {"the person clicks into the main window",
          [&] {
              if (model_.events.back() != "close MainWindow")
                  return false;
              EXPECT_TRUE(Shown("MainWindow"));
              FindWindow("MainWindow")->activateWindow();
              return true;
          }},
         {"Ctrl+Q chooses Quit",
          [&] {
              if (QApplication::activeWindow() != FindWindow("MainWindow"))
                  return false;
              QTest::keyClick(FindWindow("MainWindow"), Qt::Key_Q, Qt::ControlModifier);
              return true;
          }}},
        true);
    EXPECT_EQ(model_.events,
              (std::vector<std::string>{"choose 3", "click push1", "click push1", "menu 1",
                                        "close AboutWindow", "close MainWindow", "menu 3"}));
}

TEST_F(QtViewTest, ChangesAreDrawnOnceForManyNotices) {
    int readsBefore = 0;
    RunLoop({
        Check("change the model",
              [&] {
                  model_.windows[0].controls[1].text = "149.0 GB";
                  readsBefore = model_.reads;
                  for (int i = 0; i < 50; ++i)
                      view_.Changed(model_);
              }),
        Check("drawn once",
              [&] {
                  EXPECT_EQ(model_.reads - readsBefore, 1);
                  EXPECT_EQ(Text(FindWindow("MainWindow"), "stxt1"), "149.0 GB");
              }),
    });
}

struct AlertSeen {
    QMessageBox::Icon icon;
    QString title, text, informative, defaultButton;
    QStringList buttons;
};

// Runs the alert through the view and answers it with answer(box).
DialogItemIndex ShowAlert(qtview::QtView& view, FakeModel& model, const toolbox::AlertInfo& alert,
                          AlertSeen* seen, std::function<void(QMessageBox*)> answer) {
    StepRunner runner({{"the alert shows",
                        [&] {
                            QMessageBox* box = ShownAlert();
                            if (box == nullptr)
                                return false;
                            seen->icon = box->icon();
                            seen->title = box->windowTitle();
                            seen->text = box->text();
                            seen->informative = box->informativeText();
                            if (box->defaultButton() != nullptr)
                                seen->defaultButton = box->defaultButton()->text();
                            seen->buttons.clear();
                            for (QAbstractButton* button : box->buttons())
                                seen->buttons << button->text();
                            answer(box);
                            return true;
                        }}},
                      [](const std::string& what) { ADD_FAILURE() << "stuck at: " << what; });
    runner.Start(qApp);
    return view.RunAlert(model, alert);
}

TEST_F(QtViewTest, StandardAlertsAreModalMessageBoxes) {
    struct Case {
        AlertType type;
        QMessageBox::Icon icon;
    };
    for (Case c : {Case{0, QMessageBox::Critical}, Case{1, QMessageBox::Information},
                   Case{2, QMessageBox::Warning}, Case{3, QMessageBox::NoIcon},
                   Case{7, QMessageBox::NoIcon}}) {
        toolbox::AlertInfo alert{c.type,
                                 "Title " + std::to_string(c.type),
                                 "Main <b>text</b>",
                                 "Secondary",
                                 {{1, "OK"}},
                                 1,
                                 0};
        AlertSeen seen{};
        DialogItemIndex item = ShowAlert(view_, model_, alert, &seen, [](QMessageBox* box) {
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(item, 1) << c.type;
        EXPECT_EQ(seen.icon, c.icon) << c.type;
        EXPECT_EQ(seen.title, QString::fromStdString(alert.title));
        EXPECT_EQ(seen.text, "Main <b>text</b>");
        EXPECT_EQ(seen.informative, "Secondary");
        EXPECT_EQ(seen.buttons, QStringList{"OK"});
        EXPECT_EQ(seen.defaultButton, "OK");
    }

    // More buttons: the one pressed is answered; Escape is the cancel button.
    toolbox::AlertInfo choice{
        2, "Caution", "Save?", std::nullopt, {{3, "Don't Save"}, {2, "Cancel"}, {1, "Save"}}, 1, 2};
    AlertSeen seen{};
    EXPECT_EQ(ShowAlert(view_, model_, choice, &seen,
                        [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }),
              2);
    EXPECT_EQ(seen.informative, "");
    EXPECT_EQ(seen.defaultButton, "Save");
    EXPECT_EQ(ShowAlert(view_, model_, choice, &seen,
                        [](QMessageBox* box) {
                            for (QAbstractButton* button : box->buttons()) {
                                if (button->text() == "Don't Save")
                                    QTest::mouseClick(button, Qt::LeftButton);
                            }
                        }),
              3);
}

} // namespace
