// A model window on the desktop.
#include "views/qt/ModelWindow.h"

#include <QCloseEvent>

#include <set>

namespace qtview {

ModelWindow::ModelWindow(const toolbox::WindowInfo& info, ControlActions actions,
                         std::function<void(WindowRef)> closeBox)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint),
      window_(info.window), actions_(std::move(actions)), closeBox_(std::move(closeBox)),
      content_(new QWidget(this)) {
    setObjectName(QString::fromStdString(info.name));
    setCentralWidget(content_);
}

void ModelWindow::Update(const toolbox::WindowInfo& info) {
    setWindowTitle(QString::fromStdString(info.title));
    const Rect& bounds = info.bounds;
    QSize size(bounds.right - bounds.left, bounds.bottom - bounds.top);
    content_->setFixedSize(size);

    std::set<ControlRef> current;
    for (const toolbox::ControlInfo& control : info.controls) {
        current.insert(control.control);
        ControlWidget*& widget = controls_[control.control];
        if (widget == nullptr)
            widget = MakeControlWidget(control, size.width(), actions_, content_);
        if (widget != nullptr) {
            widget->Update(control);
            widget->show();
        }
    }
    for (auto it = controls_.begin(); it != controls_.end();) {
        if (current.count(it->first) == 0) {
            if (it->second != nullptr)
                it->second->deleteLater();
            it = controls_.erase(it);
        } else {
            ++it;
        }
    }
    // The menu bar, when the window has one, adds to the content's height.
    setFixedSize(sizeHint());
    if (!placed_) {
        move(bounds.left, bounds.top);
        placed_ = true;
    }
}

void ModelWindow::ShowMenus(const std::vector<toolbox::MenuInfo>& menus,
                            const ChooseMenuItem& choose) {
    FillMenuBar(menuBar(), menus, choose);
    setFixedSize(sizeHint());
}

void ModelWindow::SetShown(bool shown) {
    if (shown == isVisible())
        return;
    if (!shown) {
        hide();
        return;
    }
    show();
    raise();
    activateWindow();
}

void ModelWindow::closeEvent(QCloseEvent* event) {
    // The program decides what its close box does: the model shows the
    // outcome, and the window follows it.
    event->ignore();
    closeBox_(window_);
}

} // namespace qtview
