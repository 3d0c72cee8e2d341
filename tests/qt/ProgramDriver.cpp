// Plays a person in front of the real program: loaded into it ahead of
// everything else (LD_PRELOAD), it starts when the desktop view makes Qt's
// application object and works the windows through Qt's own input events.
// What it sees goes to the report file, one "key: value" line each, and the
// screenshots to a folder; the test that started the program judges both.
//
//   CAPEXT_QT_DRIVER_SCENARIO  extend | refuse-about | old-system
//   CAPEXT_QT_DRIVER_REPORT    the report file
//   CAPEXT_QT_DRIVER_SHOTS     the folder for screenshots
//
// A step that cannot be done in time is reported as "stuck: <step>" and the
// program ends with status 97.
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "tests/qt/Steps.h"
#include "tests/qt/Widgets.h"

namespace qttest {
namespace {

constexpr int kStuckStatus = 97;

std::FILE* gReport = nullptr;

void Report(const QString& key, const QString& value) {
    if (gReport == nullptr)
        return;
    std::fprintf(gReport, "%s: %s\n", qPrintable(key), qPrintable(value));
    std::fflush(gReport);
}

void Screenshot(QWidget* widget, const QString& file) {
    QString folder = qEnvironmentVariable("CAPEXT_QT_DRIVER_SHOTS");
    QString path = folder + "/" + file;
    if (widget->grab().save(path))
        Report("screenshot", path);
}

// The whole screen, as a person sees it; only where there is a real screen.
void ScreenScreenshot(const QString& file) {
    if (QGuiApplication::platformName() != "xcb")
        return;
    QString path = qEnvironmentVariable("CAPEXT_QT_DRIVER_SHOTS") + "/" + file;
    if (QGuiApplication::primaryScreen()->grabWindow(0).save(path))
        Report("screenshot", path);
}

QString IconName(QMessageBox::Icon icon) {
    switch (icon) {
    case QMessageBox::Critical:
        return "stop";
    case QMessageBox::Information:
        return "note";
    case QMessageBox::Warning:
        return "caution";
    case QMessageBox::Question:
        return "question";
    default:
        return "none";
    }
}

void ReportAlert(QMessageBox* box) {
    Report("alert-icon", IconName(box->icon()));
    Report("alert-title", box->windowTitle());
    Report("alert-text", box->text());
    Report("alert-informative", box->informativeText());
    for (QAbstractButton* button : box->buttons())
        Report("alert-button", button->text());
    if (box->defaultButton() != nullptr)
        Report("alert-default", box->defaultButton()->text());
}

void ReportMainWindow() {
    QMainWindow* main = FindWindow("MainWindow");
    QComboBox* popup = Popup(main);
    for (int i = 0; i < popup->count(); ++i) {
        Report("popup-item",
               IsSeparator(popup, i)
                   ? QString("<separator>")
                   : popup->itemText(i) + (popup->itemIcon(i).isNull() ? "" : " [icon]"));
    }
    Report("popup-current", popup->currentText());
    Report("stxt1", Text(main, "stxt1"));
    Report("stxt2", Text(main, "stxt2"));
    Report("icon3", Control(main, "icon3")->accessibleName());
    Report("push1-enabled", PushButton(main)->isEnabled() ? "yes" : "no");
}

int IndexStartingWith(QComboBox* popup, const QString& prefix) {
    for (int i = 0; i < popup->count(); ++i) {
        if (popup->itemText(i).startsWith(prefix))
            return i;
    }
    return -1;
}

Step MainWindowShown() {
    return {"the main window shows", [] {
                if (!Shown("MainWindow") || Popup(FindWindow("MainWindow")) == nullptr)
                    return false;
                ReportMainWindow();
                return true;
            }};
}

// Waits for the alert to be on the screen (and drawn there a moment), reports
// it and dismisses it as a person would: a click on its default button, or a
// key to the button with the focus.
std::vector<Step> AnswerAlert(QString screenshot, int key) {
    auto shown = std::make_shared<QElapsedTimer>();
    return {
        {"an alert shows",
         [shown] {
             QMessageBox* box = ShownAlert();
             if (box == nullptr || box->windowHandle() == nullptr ||
                 !box->windowHandle()->isExposed())
                 return false;
             shown->start();
             return true;
         }},
        {"answer the alert",
         [shown, screenshot, key] {
             if (shown->elapsed() < 300)
                 return false;
             QMessageBox* box = ShownAlert();
             ReportAlert(box);
             if (!screenshot.isEmpty()) {
                 Screenshot(box, screenshot);
                 ScreenScreenshot("screen-" + screenshot);
             }
             if (key == 0)
                 QTest::mouseClick(box->defaultButton(), Qt::LeftButton);
             else
                 QTest::keyClick(box->focusWidget() != nullptr ? box->focusWidget() : box,
                                 Qt::Key(key));
             return true;
         }},
    };
}

// The program ends by itself after the last step: a step that never finishes.
Step ProgramEnds() {
    return {"the program ends", [] { return false; }};
}

// Opens the popup with the Space key and clicks the drive in its list.
std::vector<Step> ChooseWithMouse(QString product) {
    auto opened = std::make_shared<QElapsedTimer>();
    return {
        {"open the popup",
         [] {
             QComboBox* popup = Popup(FindWindow("MainWindow"));
             popup->setFocus();
             QTest::keyClick(popup, Qt::Key_Space);
             return true;
         }},
        {"the popup's list shows",
         [opened] {
             if (!Popup(FindWindow("MainWindow"))->view()->isVisible())
                 return false;
             opened->start();
             return true;
         }},
        {"click the drive",
         [opened, product] {
             // A release right after the list opened belongs to the opening click.
             if (opened->elapsed() < 2 * QApplication::doubleClickInterval())
                 return false;
             QComboBox* popup = Popup(FindWindow("MainWindow"));
             QAbstractItemView* list = popup->view();
             Screenshot(list->window(), "popup-open.png");
             ScreenScreenshot("screen-popup-open.png");
             int index = IndexStartingWith(popup, product);
             QRect item = list->visualRect(list->model()->index(index, 0));
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
             return true;
         }},
    };
}

// Opens the popup with the Down key and moves through its list with the keys.
std::vector<Step> ChooseWithKeys(QString product) {
    return {
        {"open the popup",
         [] {
             QComboBox* popup = Popup(FindWindow("MainWindow"));
             popup->setFocus();
             QTest::keyClick(popup, Qt::Key_Down);
             return true;
         }},
        {"choose the drive in the list",
         [product] {
             QComboBox* popup = Popup(FindWindow("MainWindow"));
             QAbstractItemView* list = popup->view();
             if (!list->isVisible())
                 return false;
             int target = IndexStartingWith(popup, product);
             for (int presses = 0; presses < popup->count() && list->currentIndex().row() != target;
                  ++presses)
                 QTest::keyClick(list, Qt::Key_Down);
             QTest::keyClick(list, Qt::Key_Return);
             return true;
         }},
    };
}

std::vector<Step> Extend() {
    std::vector<Step> steps{MainWindowShown()};
    for (Step& step : ChooseWithMouse("TARNWICK TW1600A"))
        steps.push_back(std::move(step));
    steps.push_back({"the drive shows", [] {
                         QMainWindow* main = FindWindow("MainWindow");
                         if (Text(main, "stxt1").isEmpty())
                             return false;
                         ReportMainWindow();
                         Screenshot(main, "main-drive-chosen.png");
                         QTest::mouseClick(PushButton(main), Qt::LeftButton);
                         return true;
                     }});
    for (Step& step : AnswerAlert("alert-note.png", 0))
        steps.push_back(std::move(step));
    steps.push_back(ProgramEnds());
    return steps;
}

std::vector<Step> RefuseAndAbout() {
    std::vector<Step> steps{MainWindowShown()};
    for (Step& step : ChooseWithKeys("OSLUND 80GXP"))
        steps.push_back(std::move(step));
    for (Step& step : AnswerAlert("alert-stop.png", Qt::Key_Return))
        steps.push_back(std::move(step));
    steps.push_back({"the alert is gone", [] {
                         if (ShownAlert() != nullptr)
                             return false;
                         ReportMainWindow();
                         MenuAction(FindWindow("MainWindow"), "About")->trigger();
                         return true;
                     }});
    steps.push_back({"the About window shows", [] {
                         QMainWindow* about = FindWindow("AboutWindow");
                         if (about == nullptr || !about->isVisible())
                             return false;
                         for (QString text : {"stxt1", "stxt2", "stxt3"})
                             Report("about-" + text, Text(about, text));
                         Report("about-icon1", Control(about, "icon1")->accessibleName());
                         Screenshot(about, "about.png");
                         about->close(); // its close box
                         return true;
                     }});
    steps.push_back({"the About window hides", [] {
                         if (Shown("AboutWindow"))
                             return false;
                         Report("about-hidden", "yes");
                         FindWindow("MainWindow")->close();
                         return true;
                     }});
    steps.push_back(ProgramEnds());
    return steps;
}

std::vector<Step> OldSystem() {
    std::vector<Step> steps = AnswerAlert("", Qt::Key_Space);
    steps.push_back(ProgramEnds());
    return steps;
}

void StartDriver() {
    static std::unique_ptr<StepRunner> runner;
    if (runner)
        return; // one person, one run
    gReport = std::fopen(qPrintable(qEnvironmentVariable("CAPEXT_QT_DRIVER_REPORT")), "w");
    QString scenario = qEnvironmentVariable("CAPEXT_QT_DRIVER_SCENARIO");
    std::vector<Step> steps = scenario == "extend"         ? Extend()
                              : scenario == "refuse-about" ? RefuseAndAbout()
                              : scenario == "old-system"   ? OldSystem()
                                                           : std::vector<Step>{};
    Report("scenario", scenario);
    runner = std::make_unique<StepRunner>(std::move(steps), [](const std::string& what) {
        Report("stuck", QString::fromStdString(what));
        std::fflush(nullptr);
        _exit(kStuckStatus);
    });
    runner->Start(QCoreApplication::instance());
}

} // namespace
} // namespace qttest

namespace {
void StartDriver() {
    qttest::StartDriver();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(StartDriver)
