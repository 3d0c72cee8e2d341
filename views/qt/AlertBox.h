// Standard alerts as modal message boxes.
#pragma once

#include <QWidget>

#include "platform/toolbox/View.h"

namespace qtview {

// Shows the alert over parent (or on its own when null) until a person
// dismisses it; answers the item of the button pressed. Closing the box
// without a button counts as its cancel button, or its default one.
DialogItemIndex RunAlertBox(const toolbox::AlertInfo& alert, QWidget* parent);

} // namespace qtview
