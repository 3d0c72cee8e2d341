// The desktop view.
#include "views/qt/QtView.h"

#include <QFile>
#include <QFont>
#include <QIcon>
#include <QStyle>
#include <QTimer>

#include <set>

#include "views/qt/AlertBox.h"

namespace qtview {
namespace {

// Qt's handler before ours (its default one when none was installed).
QtMessageHandler gQtMessages = nullptr;
bool gFilteringQtMessages = false;

// Icon families may hold their largest images as JPEG 2000, which Qt cannot
// read; it draws from the family's other sizes, and the warning says nothing
// a person could act on.
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith("QICNSHandler::read(): Failed, compressed format"))
        return;
    gQtMessages(type, context, text);
}

} // namespace

QtView::QtView(std::string platform) {
    arguments_.push_back("CapacityExtender");
    if (!platform.empty()) {
        arguments_.push_back("-platform");
        arguments_.push_back(std::move(platform));
    }
}

QtView::~QtView() {
    EndQt();
}

bool QtView::StartQt() {
    if (session_)
        return false;
    if (!gFilteringQtMessages) {
        gQtMessages = qInstallMessageHandler(FilterQtMessages);
        gFilteringQtMessages = true;
    }
    if (QApplication::instance() == nullptr) {
        argv_.clear();
        for (std::string& argument : arguments_)
            argv_.push_back(argument.data());
        argv_.push_back(nullptr);
        argc_ = static_cast<int>(arguments_.size());
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
        // One light, even look on every desktop, with the system font at the
        // size utilities of this kind were read at.
        QApplication::setStyle("Fusion");
        QApplication::setPalette(QApplication::style()->standardPalette());
        QFont font = QApplication::font();
        font.setPointSizeF(10);
        QApplication::setFont(font);
        // The bundle's icon stands for the application on the desktop.
        QString appIcon = QApplication::applicationDirPath() + "/../Resources/AppIcon.icns";
        if (QFile::exists(appIcon))
            QApplication::setWindowIcon(QIcon(appIcon));
    }
    session_ = std::make_unique<QObject>();
    QObject::connect(
        qApp, &QGuiApplication::applicationStateChanged, session_.get(),
        [this](Qt::ApplicationState state) {
            bool active = state == Qt::ApplicationActive;
            Act([active](toolbox::Model& model) { model.SetApplicationActive(active); });
        });
    return true;
}

void QtView::EndQt() {
    windows_.clear();
    order_.clear();
    menuWindow_ = nullptr;
    menus_.clear();
    session_.reset(); // drops the refreshes and actions still queued
    application_.reset();
    refreshPending_ = false;
}

void QtView::RunEventLoop(toolbox::Model& model) {
    model_ = &model;
    bool started = StartQt();
    Refresh();
    if (model.EventLoopRunning()) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    if (started)
        EndQt();
}

DialogItemIndex QtView::RunAlert(toolbox::Model& model, const toolbox::AlertInfo& alert) {
    model_ = &model;
    bool started = StartQt();
    DialogItemIndex item = RunAlertBox(alert, FrontWindow());
    if (started)
        EndQt();
    return item;
}

void QtView::Changed(toolbox::Model& model) {
    model_ = &model;
    if (!session_)
        return; // the loop's start shows everything
    if (loop_ != nullptr && !model.EventLoopRunning())
        loop_->quit();
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, session_.get(), [this] { Refresh(); });
}

void QtView::Close(toolbox::Model&) {
    // The process ends inside an action, and no call returns into Qt: the
    // windows go and Qt shuts down now, as after the loop.
    EndQt();
}

void QtView::Act(std::function<void(toolbox::Model&)> action) {
    QTimer::singleShot(0, session_.get(), [this, action = std::move(action)] {
        // Nothing reaches the model once its loop has ended, nor while
        // another action (an alert within it) is still running.
        if (loop_ == nullptr || acting_ || model_ == nullptr || !model_->EventLoopRunning())
            return;
        acting_ = true;
        action(*model_);
        acting_ = false;
        if (!model_->EventLoopRunning() && loop_ != nullptr)
            loop_->quit();
        Refresh();
    });
}

void QtView::Refresh() {
    refreshPending_ = false;
    if (!session_ || model_ == nullptr)
        return;
    std::vector<toolbox::WindowInfo> infos = model_->Windows();

    ControlActions controlActions{
        [this](ControlRef control) {
            Act([control](toolbox::Model& model) { model.ClickControl(control); });
        },
        [this](ControlRef popup, MenuItemIndex item) {
            Act([popup, item](toolbox::Model& model) { model.ChoosePopupItem(popup, item); });
        }};
    auto closeBox = [this](WindowRef window) {
        Act([window](toolbox::Model& model) { model.CloseWindow(window); });
    };

    std::set<WindowRef> current;
    order_.clear();
    for (const toolbox::WindowInfo& info : infos) {
        current.insert(info.window);
        order_.push_back(info.window);
        std::unique_ptr<ModelWindow>& window = windows_[info.window];
        if (!window)
            window = std::make_unique<ModelWindow>(info, controlActions, closeBox);
        window->Update(info);
        // The menu bar lives in the first window a person sees.
        if (menuWindow_ == nullptr && info.visible)
            menuWindow_ = info.window;
    }
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (current.count(it->first) == 0) {
            it->second.release()->deleteLater();
            it = windows_.erase(it);
        } else {
            ++it;
        }
    }
    if (menuWindow_ != nullptr && current.count(menuWindow_) == 0)
        menuWindow_ = nullptr;

    std::vector<toolbox::MenuInfo> menus = model_->MenuBar();
    if (menuWindow_ != nullptr && !SameMenus(menus, menus_)) {
        menus_ = std::move(menus);
        windows_[menuWindow_]->ShowMenus(menus_, [this](MenuRef menu, MenuItemIndex item) {
            Act([menu, item](toolbox::Model& model) { model.ChooseMenuItem(menu, item); });
        });
    }

    // Back to front, so that the frontmost ends up in front.
    for (auto it = infos.rbegin(); it != infos.rend(); ++it)
        windows_[it->window]->SetShown(it->visible);
}

QWidget* QtView::FrontWindow() const {
    for (WindowRef ref : order_) {
        auto found = windows_.find(ref);
        if (found != windows_.end() && found->second->isVisible())
            return found->second.get();
    }
    return nullptr;
}

} // namespace qtview
