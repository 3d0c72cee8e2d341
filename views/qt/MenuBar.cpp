// Menus of the menu bar.
#include "views/qt/MenuBar.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

#include <algorithm>

#include "platform/toolbox/CarbonEvents.h"
#include "views/qt/IconFile.h"

namespace qtview {
namespace {

QString Literal(const std::string& utf8) {
    return QString::fromStdString(utf8).replace('&', "&&");
}

bool SameItem(const toolbox::MenuItemInfo& a, const toolbox::MenuItemInfo& b) {
    return a.text == b.text && a.command == b.command && a.separator == b.separator &&
           a.enabled == b.enabled && a.iconPath == b.iconPath;
}

} // namespace

void FillMenuBar(QMenuBar* bar, const std::vector<toolbox::MenuInfo>& menus,
                 const ChooseMenuItem& choose) {
    bar->clear();
    for (const toolbox::MenuInfo& info : menus) {
        QMenu* menu = bar->addMenu(Literal(info.title));
        for (size_t i = 0; i < info.items.size(); ++i) {
            const toolbox::MenuItemInfo& item = info.items[i];
            if (item.separator) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(Literal(item.text));
            if (item.iconPath)
                action->setIcon(IconFromFile(*item.iconPath));
            action->setEnabled(item.enabled);
            if (item.command == kHICommandQuit) {
                // Ctrl+Q where the platform names no Quit keys of its own.
                QKeySequence quit(QKeySequence::Quit);
                action->setShortcut(quit.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Q) : quit);
                action->setShortcutContext(Qt::ApplicationShortcut);
                action->setMenuRole(QAction::QuitRole);
            } else if (item.command == kHICommandAbout) {
                action->setMenuRole(QAction::AboutRole);
            }
            MenuRef ref = info.menu;
            auto index = static_cast<MenuItemIndex>(i + 1);
            QObject::connect(action, &QAction::triggered, bar,
                             [choose, ref, index] { choose(ref, index); });
        }
    }
}

bool SameMenus(const std::vector<toolbox::MenuInfo>& a, const std::vector<toolbox::MenuInfo>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.menu == y.menu && x.title == y.title &&
               std::equal(x.items.begin(), x.items.end(), y.items.begin(), y.items.end(), SameItem);
    });
}

} // namespace qtview
