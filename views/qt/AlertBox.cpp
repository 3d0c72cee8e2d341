// A standard alert: stop, note or caution icon, the message in bold with the
// secondary text below it, and its buttons with the default one marked.
#include "views/qt/AlertBox.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <map>

#include "platform/toolbox/StandardAlerts.h"

namespace qtview {
namespace {

QMessageBox::Icon IconOf(AlertType type) {
    switch (type) {
    case kAlertStopAlert:
        return QMessageBox::Critical;
    case kAlertNoteAlert:
        return QMessageBox::Information;
    case kAlertCautionAlert:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::ButtonRole RoleOf(const toolbox::AlertInfo& alert, DialogItemIndex item) {
    if (item == alert.cancelButton)
        return QMessageBox::RejectRole;
    switch (item) {
    case kAlertStdAlertOKButton:
        return QMessageBox::AcceptRole;
    case kAlertStdAlertHelpButton:
        return QMessageBox::HelpRole;
    case kAlertStdAlertOtherButton:
        return QMessageBox::DestructiveRole;
    default:
        return QMessageBox::RejectRole;
    }
}

// Placed as alerts of a window are: centred across it, in its upper part.
class AlertDialog final : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event); // sizes the box to its texts
        if (QWidget* window = parentWidget()) {
            QRect over = window->frameGeometry();
            move(over.center().x() - width() / 2, over.top() + over.height() / 6);
        }
    }
};

} // namespace

DialogItemIndex RunAlertBox(const toolbox::AlertInfo& alert, QWidget* parent) {
    AlertDialog box(parent);
    box.setObjectName("Alert");
    box.setIcon(IconOf(alert.type));
    box.setWindowTitle(QString::fromStdString(alert.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(alert.message));
    if (alert.secondary)
        box.setInformativeText(QString::fromStdString(*alert.secondary));
    // The message reads in bold, the secondary text below it as plain text.
    if (auto* message = box.findChild<QLabel*>("qt_msgbox_label")) {
        QFont bold = message->font();
        bold.setBold(true);
        message->setFont(bold);
    }
    if (auto* secondary = box.findChild<QLabel*>("qt_msgbox_informativelabel"))
        secondary->setTextFormat(Qt::PlainText);

    std::map<QAbstractButton*, DialogItemIndex> items;
    for (const toolbox::AlertButton& button : alert.buttons) {
        QString label = QString::fromStdString(button.label).replace('&', "&&");
        QPushButton* pushButton = box.addButton(label, RoleOf(alert, button.item));
        items[pushButton] = button.item;
        if (button.item == alert.defaultButton)
            box.setDefaultButton(pushButton);
        if (button.item == alert.cancelButton)
            box.setEscapeButton(pushButton);
    }
    box.exec();
    auto pressed = items.find(box.clickedButton());
    if (pressed != items.end())
        return pressed->second;
    return alert.cancelButton != 0 ? alert.cancelButton : alert.defaultButton;
}

} // namespace qtview
