// Static texts, icons, popup buttons and push buttons.
#include "views/qt/ControlWidgets.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>

#include <algorithm>

#include "platform/toolbox/Controls.h"
#include "platform/toolbox/FourCharCodes.h"
#include "views/qt/IconFile.h"

namespace qtview {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A label's text with its ampersands shown rather than read as mnemonics.
QString Literal(const std::string& utf8) {
    return Text(utf8).replace('&', "&&");
}

QRect BoundsRect(const Rect& bounds) {
    return QRect(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

// Buttons and popups keep at least the height the style draws them with,
// centred on the height the interface file gives them.
QRect AtLeastHint(const Rect& bounds, const QSize& hint) {
    QRect rect = BoundsRect(bounds);
    int height = std::max(rect.height(), hint.height());
    return QRect(rect.left(), rect.top() + (rect.height() - height) / 2, rect.width(), height);
}

// "unknownDevice.icns" reads "Unknown device", "FireWireHD.icns" "Fire wire HD".
QString IconDescription(const std::string& path) {
    QString base = QFileInfo(Text(path)).completeBaseName();
    QString words;
    for (qsizetype i = 0; i < base.size(); ++i) {
        QChar c = base[i];
        bool wordStart = i > 0 && c.isUpper() && base[i - 1].isLower();
        if (wordStart)
            words += ' ';
        bool restOfWordLower = i + 1 < base.size() && base[i + 1].isLower();
        words += (wordStart && restOfWordLower) ? c.toLower() : c;
    }
    if (!words.isEmpty())
        words[0] = words[0].toUpper();
    return words;
}

class TextControl final : public ControlWidget {
  public:
    TextControl(bool centred, QWidget* parent) : ControlWidget(parent), label_(new QLabel(this)) {
        label_->setTextFormat(Qt::PlainText);
        label_->setWordWrap(true);
        label_->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        (new QHBoxLayout(this))->setContentsMargins(0, 0, 0, 0);
        layout()->addWidget(label_);
    }

    void Update(const toolbox::ControlInfo& info) override {
        setGeometry(BoundsRect(info.bounds));
        label_->setText(Text(info.text));
        label_->setEnabled(info.active);
    }

  private:
    QLabel* label_;
};

// Draws the icon family file at the control's size, from the image that suits
// the screen's pixel density.
class IconControl final : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;

    void Update(const toolbox::ControlInfo& info) override {
        setGeometry(BoundsRect(info.bounds));
        std::string path = info.iconPath.value_or("");
        if (path == path_)
            return;
        path_ = path;
        icon_ = IconFromFile(path);
        QString name = path.empty() ? QString("No") : IconDescription(path);
        setAccessibleName(name.endsWith("icon", Qt::CaseInsensitive) ? name : name + " icon");
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        icon_.paint(&painter, rect(), Qt::AlignCenter);
    }

  private:
    std::string path_ = "\n"; // no path has been shown yet
    QIcon icon_;
};

// A closed popup opens on the keys that move through it, rather than choosing
// the neighbouring item behind the person's back; the wheel chooses nothing.
class PopupBox final : public QComboBox {
  public:
    using QComboBox::QComboBox;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
                showPopup();
                return;
            }
            break;
        default:
            break;
        }
        QComboBox::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

// Separators in the popup's list as a menu draws them: a grey rule with room
// above and below, over what the list's own delegate draws.
class SeparatorRule final : public QAbstractItemDelegate {
  public:
    SeparatorRule(QAbstractItemDelegate* items, QObject* parent)
        : QAbstractItemDelegate(parent), items_(items) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        items_->paint(painter, option, index);
        if (!IsSeparator(index))
            return;
        int y = option.rect.center().y();
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.left() + 1, y, option.rect.right() - 1, y);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = items_->sizeHint(option, index);
        return IsSeparator(index) ? QSize(size.width(), 9) : size;
    }

  private:
    static bool IsSeparator(const QModelIndex& index) {
        return index.data(Qt::AccessibleDescriptionRole).toString() == "separator";
    }

    QAbstractItemDelegate* items_;
};

bool SameItems(const std::vector<toolbox::MenuItemInfo>& a,
               const std::vector<toolbox::MenuItemInfo>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.text == y.text && x.separator == y.separator && x.enabled == y.enabled &&
               x.iconPath == y.iconPath;
    });
}

class PopupControl final : public ControlWidget {
  public:
    PopupControl(const toolbox::ControlInfo& info, const ControlActions& actions, QWidget* parent)
        : ControlWidget(parent), box_(new PopupBox(this)) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(6);
        QString name = Text(info.title);
        if (!info.title.empty()) {
            auto* label = new QLabel(Literal(info.title), this);
            label->setBuddy(box_);
            row->addWidget(label);
            if (name.endsWith(':'))
                name.chop(1);
        }
        row->addWidget(box_, 1);
        box_->setAccessibleName(name.isEmpty() ? QString("Popup menu") : name);
        box_->setIconSize(QSize(16, 16));
        box_->setItemDelegate(new SeparatorRule(box_->itemDelegate(), box_));
        ControlRef control = info.control;
        QObject::connect(box_, &QComboBox::activated, this, [actions, control](int index) {
            actions.choose(control, static_cast<MenuItemIndex>(index + 1));
        });
    }

    void Update(const toolbox::ControlInfo& info) override {
        QSignalBlocker quiet(box_);
        if (!SameItems(items_, info.menu.items)) {
            items_ = info.menu.items;
            box_->clear();
            for (const toolbox::MenuItemInfo& item : items_) {
                if (item.separator) {
                    box_->insertSeparator(box_->count());
                    continue;
                }
                QIcon icon = item.iconPath ? IconFromFile(*item.iconPath) : QIcon();
                box_->addItem(icon, Text(item.text));
                if (!item.enabled) {
                    auto* model = static_cast<QStandardItemModel*>(box_->model());
                    model->item(box_->count() - 1)->setEnabled(false);
                }
            }
        }
        box_->setCurrentIndex(info.value >= 1 && info.value <= box_->count() ? info.value - 1 : -1);
        box_->setEnabled(info.active);
        setGeometry(AtLeastHint(info.bounds, sizeHint()));
    }

  private:
    PopupBox* box_;
    std::vector<toolbox::MenuItemInfo> items_;
};

// Return and Enter press the focused button, as Space does.
class PushBox final : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier)) {
            animateClick();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

class PushControl final : public ControlWidget {
  public:
    PushControl(const toolbox::ControlInfo& info, const ControlActions& actions, QWidget* parent)
        : ControlWidget(parent), button_(new PushBox(this)) {
        (new QHBoxLayout(this))->setContentsMargins(0, 0, 0, 0);
        layout()->addWidget(button_);
        button_->setAutoDefault(false);
        ControlRef control = info.control;
        QObject::connect(button_, &QPushButton::clicked, this,
                         [actions, control] { actions.click(control); });
    }

    void Update(const toolbox::ControlInfo& info) override {
        setGeometry(AtLeastHint(info.bounds, sizeHint()));
        button_->setText(Literal(info.title));
        button_->setAccessibleName(Text(info.title));
        button_->setEnabled(info.active);
    }

  private:
    PushBox* button_;
};

QString ControlName(const ControlID& id) {
    return QString::fromLatin1(toolbox::CodeText(id.signature)) + QString::number(id.id);
}

} // namespace

ControlWidget* MakeControlWidget(const toolbox::ControlInfo& info, int contentWidth,
                                 const ControlActions& actions, QWidget* parent) {
    ControlWidget* widget = nullptr;
    switch (info.kind) {
    case kControlKindStaticText:
        widget = new TextControl(info.bounds.left == contentWidth - info.bounds.right, parent);
        break;
    case kControlKindIcon:
        widget = new IconControl(parent);
        break;
    case kControlKindPopupButton:
        widget = new PopupControl(info, actions, parent);
        break;
    case kControlKindPushButton:
        widget = new PushControl(info, actions, parent);
        break;
    default:
        return nullptr;
    }
    widget->setObjectName(ControlName(info.id));
    return widget;
}

} // namespace qtview
