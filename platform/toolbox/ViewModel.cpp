// The model as views see it: snapshots to draw, and the person's actions
// turned into events. Actions on objects a person could not reach (hidden
// windows, inactive controls, separators, disabled items) do nothing.
#include <algorithm>

#include "platform/toolbox/Controls.h"
#include "platform/toolbox/ToolboxModel.h"

namespace toolbox {
namespace {

MenuInfo SnapshotMenu(const OpaqueMenuRef& menu) {
    MenuInfo info;
    info.menu = const_cast<MenuRef>(&menu);
    info.title = menu.title;
    for (const MenuItem& item : menu.items)
        info.items.push_back(
            {item.text, item.command, item.IsSeparator(), item.IsEnabled(), item.iconPath});
    return info;
}

ControlInfo SnapshotControl(const OpaqueControlRef& control) {
    ControlInfo info;
    info.control = const_cast<ControlRef>(&control);
    info.kind = control.kind;
    info.id = control.id;
    info.bounds = control.bounds;
    info.title = control.title;
    info.text = TextFromApplicationBytes(control.textData);
    info.value = control.value;
    info.minimum = control.minimum;
    info.maximum = control.maximum;
    info.active = control.active;
    if (control.content.contentType == kControlContentIconRef && control.content.u.iconRef)
        info.iconPath = control.content.u.iconRef->path;
    if (control.menu)
        info.menu = SnapshotMenu(*control.menu);
    return info;
}

WindowInfo SnapshotWindow(const OpaqueWindowPtr& window) {
    WindowInfo info;
    info.window = const_cast<WindowRef>(&window);
    info.name = window.name;
    info.title = window.title;
    info.bounds = window.bounds;
    info.visible = window.visible;
    for (const auto& control : window.controls)
        info.controls.push_back(SnapshotControl(*control));
    return info;
}

bool IsVisibleWindow(WindowRef window) {
    const auto& windows = TheState().windows;
    return window != nullptr && window->visible &&
           std::any_of(windows.begin(), windows.end(),
                       [window](const auto& w) { return w.get() == window; });
}

// A control a person can click: active, in a visible window.
bool IsClickable(ControlRef control) {
    if (control == nullptr || !control->active || !IsVisibleWindow(control->owner))
        return false;
    const auto& controls = control->owner->controls;
    return std::any_of(controls.begin(), controls.end(),
                       [control](const auto& c) { return c.get() == control; });
}

bool IsChoosable(MenuRef menu, MenuItemIndex item) {
    return menu != nullptr && item >= 1 && item <= menu->items.size() &&
           menu->items[item - 1].IsEnabled();
}

void Hit(ControlRef control) {
    OpaqueEventRef event{kEventClassControl, kEventControlHit, {}};
    SetParameter(event, kEventParamDirectObject, typeControlRef, &control, sizeof control);
    Dispatch(event, &control->target);
}

class ModelForViews final : public Model {
  public:
    std::vector<WindowInfo> Windows() const override {
        std::vector<WindowInfo> windows;
        for (const auto& window : TheState().windows)
            windows.push_back(SnapshotWindow(*window));
        return windows;
    }

    std::vector<MenuInfo> MenuBar() const override {
        std::vector<MenuInfo> menus;
        for (MenuRef menu : TheState().menuBar)
            menus.push_back(SnapshotMenu(*menu));
        return menus;
    }

    bool EventLoopRunning() const override { return TheState().loopRunning; }

    void ChooseMenuItem(MenuRef menu, MenuItemIndex item) override {
        const auto& bar = TheState().menuBar;
        if (std::find(bar.begin(), bar.end(), menu) == bar.end() || !IsChoosable(menu, item))
            return;
        HICommand command{};
        command.attributes = kHICommandFromMenu;
        command.commandID = menu->items[item - 1].command;
        command.menu.menuRef = menu;
        command.menu.menuItemIndex = item;
        OpaqueEventRef event{kEventClassCommand, kEventCommandProcess, {}};
        SetParameter(event, kEventParamDirectObject, typeHICommand, &command, sizeof command);
        Dispatch(event, UserFocusTarget());
    }

    void ChoosePopupItem(ControlRef popup, MenuItemIndex item) override {
        if (!IsClickable(popup) || popup->kind != kControlKindPopupButton ||
            !IsChoosable(popup->menu.get(), item))
            return;
        SetControlValue(popup, static_cast<SInt16>(item));
        Hit(popup);
    }

    void ClickControl(ControlRef control) override {
        if (IsClickable(control))
            Hit(control);
    }

    void CloseWindow(WindowRef window) override {
        if (!IsVisibleWindow(window))
            return;
        OpaqueEventRef event{kEventClassWindow, kEventWindowClose, {}};
        SetParameter(event, kEventParamDirectObject, typeWindowRef, &window, sizeof window);
        Dispatch(event, &window->target);
    }

    void SetApplicationActive(bool active) override {
        OpaqueEventRef event{kEventClassApplication,
                             active ? UInt32(kEventAppActivated) : UInt32(kEventAppDeactivated),
                             {}};
        Dispatch(event, &TheState().application);
    }
};

} // namespace

Model& ViewModel() {
    static ModelForViews model;
    return model;
}

} // namespace toolbox
