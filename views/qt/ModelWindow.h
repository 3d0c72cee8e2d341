// One window of the model as a desktop window: its title, its content laid
// out from the window's and the controls' bounds, and its close box, which
// asks the model rather than closing by itself.
#pragma once

#include <QMainWindow>

#include <functional>
#include <map>

#include "platform/toolbox/View.h"
#include "views/qt/ControlWidgets.h"
#include "views/qt/MenuBar.h"

namespace qtview {

class ModelWindow final : public QMainWindow {
  public:
    ModelWindow(const toolbox::WindowInfo& info, ControlActions actions,
                std::function<void(WindowRef)> closeBox);

    // Brings title, size and controls up to date; shows or hides nothing.
    void Update(const toolbox::WindowInfo& info);
    // Gives the window the application's menu bar.
    void ShowMenus(const std::vector<toolbox::MenuInfo>& menus, const ChooseMenuItem& choose);
    // Shows the window in front, or hides it.
    void SetShown(bool shown);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    WindowRef window_;
    ControlActions actions_;
    std::function<void(WindowRef)> closeBox_;
    QWidget* content_;
    std::map<ControlRef, ControlWidget*> controls_;
    bool placed_ = false;
};

} // namespace qtview
