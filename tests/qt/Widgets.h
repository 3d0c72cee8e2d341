// Finding the desktop view's widgets by the names it gives them: a window by
// its name in the interface file, a control by its signature and number.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

namespace qttest {

inline QMainWindow* FindWindow(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name)
            return qobject_cast<QMainWindow*>(widget);
    }
    return nullptr;
}

inline bool Shown(const QString& window) {
    QWidget* found = FindWindow(window);
    return found != nullptr && found->isVisible();
}

inline QWidget* Control(QWidget* window, const QString& name) {
    return window != nullptr ? window->findChild<QWidget*>(name) : nullptr;
}

inline QComboBox* Popup(QWidget* window, const QString& name = "popb1") {
    QWidget* control = Control(window, name);
    return control != nullptr ? control->findChild<QComboBox*>() : nullptr;
}

inline QPushButton* PushButton(QWidget* window, const QString& name = "push1") {
    QWidget* control = Control(window, name);
    return control != nullptr ? control->findChild<QPushButton*>() : nullptr;
}

inline QString Text(QWidget* window, const QString& name) {
    QWidget* control = Control(window, name);
    QLabel* label = control != nullptr ? control->findChild<QLabel*>() : nullptr;
    return label != nullptr ? label->text() : QString("<no %1>").arg(name);
}

inline QMessageBox* ShownAlert() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box != nullptr && box->isVisible() ? box : nullptr;
}

// The menu-bar item whose text starts with prefix.
inline QAction* MenuAction(QWidget* window, const QString& prefix) {
    QMenuBar* bar = window != nullptr ? window->findChild<QMenuBar*>() : nullptr;
    if (bar == nullptr)
        return nullptr;
    for (QAction* menu : bar->actions()) {
        if (menu->menu() == nullptr)
            continue;
        for (QAction* item : menu->menu()->actions()) {
            if (item->text().startsWith(prefix))
                return item;
        }
    }
    return nullptr;
}

inline bool IsSeparator(const QComboBox* popup, int index) {
    return popup->itemData(index, Qt::AccessibleDescriptionRole).toString() == "separator";
}

} // namespace qttest
