// How the toolbox model meets a person. A view shows the model's windows,
// controls, menus and alerts and turns the person's actions into events. The
// toolbox defines this interface only; the view is chosen at process start
// and handed over with SetToolboxView. A view reaches the model solely
// through the Model reference it is given, so a view built as a module
// loaded at run time needs no symbol of the program.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/toolbox/ToolboxTypes.h"

namespace toolbox {

// Snapshots of the model, as a view draws them. Texts are UTF-8.

struct MenuItemInfo {
    std::string text;
    MenuCommand command = 0;
    bool separator = false;
    bool enabled = true;
    std::optional<std::string> iconPath; // the icon family file shown beside it
};

struct MenuInfo {
    MenuRef menu = nullptr;
    std::string title;
    std::vector<MenuItemInfo> items; // item n is items[n - 1]
};

struct ControlInfo {
    ControlRef control = nullptr;
    OSType kind = 0; // 'push', 'popb', 'stxt' or 'icon'
    ControlID id{};
    Rect bounds{};
    std::string title; // push button and popup label
    std::string text;  // static text
    SInt16 value = 0;  // popup: the number of the chosen item
    SInt16 minimum = 0;
    SInt16 maximum = 0;
    bool active = true;
    std::optional<std::string> iconPath; // icon control: the icon family file shown
    MenuInfo menu;                       // popup: its menu
};

struct WindowInfo {
    WindowRef window = nullptr;
    std::string name; // its name in the interface file
    std::string title;
    Rect bounds{};
    bool visible = false;
    std::vector<ControlInfo> controls;
};

struct AlertButton {
    DialogItemIndex item = 0; // what RunAlert answers when it is pressed
    std::string label;
};

struct AlertInfo {
    AlertType type = 0; // 0 stop, 1 note, 2 caution, 3 plain
    std::string title;
    std::string message;
    std::optional<std::string> secondary;
    std::vector<AlertButton> buttons; // laid out left to right
    DialogItemIndex defaultButton = 1;
    DialogItemIndex cancelButton = 0; // 0: none
};

// The model as a view sees it. Every action runs the program's handlers to
// completion (modal alerts included) before it returns. Actions a person
// could not take (on a hidden window, an inactive control, a separator or a
// disabled item) do nothing.
class Model {
  public:
    // Every window, the frontmost first, hidden ones included.
    virtual std::vector<WindowInfo> Windows() const = 0;
    virtual std::vector<MenuInfo> MenuBar() const = 0;
    // False once QuitApplicationEventLoop has been called.
    virtual bool EventLoopRunning() const = 0;

    // The person chose an enabled item of a menu of the menu bar.
    virtual void ChooseMenuItem(MenuRef menu, MenuItemIndex item) = 0;
    // The person chose an item of a popup button: its value becomes the item
    // (within the popup's maximum), then the control is hit.
    virtual void ChoosePopupItem(ControlRef popup, MenuItemIndex item) = 0;
    // The person clicked a control; an inactive control gets no hit.
    virtual void ClickControl(ControlRef control) = 0;
    // The person clicked the window's close box.
    virtual void CloseWindow(WindowRef window) = 0;
    // The application came to the front or went to the back.
    virtual void SetApplicationActive(bool active) = 0;

  protected:
    ~Model() = default;
};

class View {
  public:
    virtual ~View() = default;
    // Called by RunApplicationEventLoop: shows the model and delivers actions
    // until model.EventLoopRunning() turns false, then returns. A view whose
    // input ends (a script runs out) closes the main window as a person would
    // and returns, whether or not that ended the loop.
    virtual void RunEventLoop(Model& model) = 0;
    // Shows a standard alert modally, also before the event loop runs, and
    // answers the item of the button that dismissed it.
    virtual DialogItemIndex RunAlert(Model& model, const AlertInfo& alert) = 0;
    // Something the view shows has changed (called often; coalesce).
    virtual void Changed(Model&) {}
    // The process is about to end inside a handler: leave the screen and the
    // output in order. No call follows.
    virtual void Close(Model&) {}
};

// Hands the view to the toolbox (null: no view; alerts are then answered
// with their default button and the event loop returns at once).
void SetToolboxView(std::unique_ptr<View> view);

} // namespace toolbox
