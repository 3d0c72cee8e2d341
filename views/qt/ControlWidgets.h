// The controls of a window as widgets: static texts, icons, the popup button
// with its menu, and push buttons. Each is laid out from the control's bounds
// and redrawn from the model's snapshot; what a person does to it goes to the
// window's ControlActions.
#pragma once

#include <QWidget>

#include <functional>

#include "platform/toolbox/View.h"

namespace qtview {

struct ControlActions {
    std::function<void(ControlRef)> click;
    std::function<void(ControlRef, MenuItemIndex)> choose; // an item of a popup's menu
};

class ControlWidget : public QWidget {
  public:
    using QWidget::QWidget;
    virtual void Update(const toolbox::ControlInfo& info) = 0;
};

// The widget for the control's kind, or null for a kind no person sees. It
// is named by the control's signature and number: "note1" for ('note', 1).
// contentWidth is the width of the window's content, which tells whether a
// text is centred in it.
ControlWidget* MakeControlWidget(const toolbox::ControlInfo& info, int contentWidth,
                                 const ControlActions& actions, QWidget* parent);

} // namespace qtview
