// The application's menus in a window's menu bar.
#pragma once

#include <QMenuBar>

#include <functional>

#include "platform/toolbox/View.h"

namespace qtview {

using ChooseMenuItem = std::function<void(MenuRef, MenuItemIndex)>;

// Replaces the bar's menus with these. The Quit command answers the
// platform's Quit keys (Ctrl+Q) in every window of the application.
void FillMenuBar(QMenuBar* bar, const std::vector<toolbox::MenuInfo>& menus,
                 const ChooseMenuItem& choose);

bool SameMenus(const std::vector<toolbox::MenuInfo>& a, const std::vector<toolbox::MenuInfo>& b);

} // namespace qtview
