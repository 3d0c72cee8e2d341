// The scripted view: actions in, JSON lines out.
#include "views/headless/HeadlessView.h"

#include <iostream>

#include "platform/toolbox/Controls.h"
#include "platform/toolbox/FourCharCodes.h"
#include "views/headless/Json.h"
#include "views/headless/Script.h"

namespace headless {
namespace {

const toolbox::WindowInfo* FindWindow(const std::vector<toolbox::WindowInfo>& windows,
                                      const std::string& name) {
    for (const toolbox::WindowInfo& window : windows) {
        if (window.name == name)
            return &window;
    }
    return nullptr;
}

const toolbox::ControlInfo* FindControl(const toolbox::WindowInfo* window, OSType signature,
                                        SInt32 id) {
    if (window == nullptr)
        return nullptr;
    for (const toolbox::ControlInfo& control : window->controls) {
        if (control.id.signature == signature && control.id.id == id)
            return &control;
    }
    return nullptr;
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

std::string PopupJson(const toolbox::ControlInfo* popup) {
    if (popup == nullptr)
        return "null";
    std::string json = "{\"value\":" + std::to_string(popup->value) + ",\"items\":[";
    bool first = true;
    for (const toolbox::MenuItemInfo& item : popup->menu.items) {
        json += first ? "" : ",";
        first = false;
        json += "{\"text\":" + JsonString(item.text) +
                ",\"icon\":" + JsonStringOrNull(item.iconPath) +
                ",\"separator\":" + Bool(item.separator) + "}";
    }
    return json + "]}";
}

std::string TextJson(const toolbox::ControlInfo* text) {
    return text != nullptr ? JsonString(text->text) : "null";
}

std::string IconJson(const toolbox::ControlInfo* icon) {
    return icon != nullptr ? JsonStringOrNull(icon->iconPath) : "null";
}

} // namespace

HeadlessView::HeadlessView(std::istream& actions, std::ostream& out, std::ostream& err)
    : actions_(actions), out_(out), err_(err) {}

HeadlessView::HeadlessView(std::unique_ptr<std::istream> actions)
    : ownedActions_(std::move(actions)), actions_(*ownedActions_), out_(std::cout),
      err_(std::cerr) {}

std::string HeadlessView::StateLine(const toolbox::Model& model) {
    std::vector<toolbox::WindowInfo> windows = model.Windows();
    const toolbox::WindowInfo* main = FindWindow(windows, kMainWindowName);
    const toolbox::WindowInfo* about = FindWindow(windows, kAboutWindowName);
    const toolbox::ControlInfo* push = FindControl(main, 'push', 1);
    return "{\"event\":\"state\",\"popup\":" + PopupJson(FindControl(main, 'popb', 1)) +
           ",\"stxt1\":" + TextJson(FindControl(main, 'stxt', 1)) +
           ",\"stxt2\":" + TextJson(FindControl(main, 'stxt', 2)) +
           ",\"icon3\":" + IconJson(FindControl(main, 'icon', 3)) +
           ",\"push1\":" + (push != nullptr ? "{\"active\":" + Bool(push->active) + "}" : "null") +
           ",\"about\":" +
           (about != nullptr ? "{\"visible\":" + Bool(about->visible) + "}" : "null") + "}";
}

std::string HeadlessView::AlertLine(const toolbox::AlertInfo& alert) {
    return "{\"event\":\"alert\",\"kind\":" + std::to_string(alert.type) +
           ",\"title\":" + JsonString(alert.title) + ",\"message\":" + JsonString(alert.message) +
           ",\"secondary\":" + JsonStringOrNull(alert.secondary) + "}";
}

void HeadlessView::RunEventLoop(toolbox::Model& model) {
    WriteLine(StateLine(model));
    std::string line;
    while (model.EventLoopRunning() && std::getline(actions_, line)) {
        ++lineNumber_;
        Perform(model, line);
    }
    if (!model.EventLoopRunning())
        return;
    // The actions have run out: the person closes the main window.
    std::vector<toolbox::WindowInfo> windows = model.Windows();
    if (const toolbox::WindowInfo* main = FindWindow(windows, kMainWindowName))
        model.CloseWindow(main->window);
}

DialogItemIndex HeadlessView::RunAlert(toolbox::Model&, const toolbox::AlertInfo& alert) {
    WriteLine(AlertLine(alert));
    return alert.defaultButton;
}

void HeadlessView::Close(toolbox::Model& model) {
    // The process ends inside an action: its state line is still owed.
    if (inAction_)
        WriteLine(StateLine(model));
    inAction_ = false;
}

void HeadlessView::Perform(toolbox::Model& model, const std::string& line) {
    ScriptLine parsed = ParseScriptLine(line);
    if (std::holds_alternative<NoAction>(parsed))
        return;
    if (const auto* bad = std::get_if<BadAction>(&parsed)) {
        Report(bad->reason + ": " + line);
        return;
    }

    inAction_ = true;
    std::vector<toolbox::WindowInfo> windows = model.Windows();
    const toolbox::WindowInfo* main = FindWindow(windows, kMainWindowName);
    if (const auto* select = std::get_if<SelectAction>(&parsed)) {
        const toolbox::ControlInfo* popup = FindControl(main, 'popb', 1);
        if (popup == nullptr || select->item > popup->menu.items.size())
            Report("the drive popup has no item " + std::to_string(select->item));
        else if (!popup->menu.items[select->item - 1].enabled)
            Report("item " + std::to_string(select->item) + " of the drive popup cannot be chosen");
        else
            model.ChoosePopupItem(popup->control, select->item);
    } else if (const auto* click = std::get_if<ClickAction>(&parsed)) {
        const toolbox::ControlInfo* control =
            FindControl(main, click->control.signature, click->control.id);
        if (control == nullptr)
            Report("the main window has no control " + toolbox::CodeText(click->control.signature) +
                   " " + std::to_string(click->control.id));
        else
            model.ClickControl(control->control); // an inactive control takes no hit
    } else if (const auto* command = std::get_if<CommandAction>(&parsed)) {
        bool chosen = false;
        for (const toolbox::MenuInfo& menu : model.MenuBar()) {
            for (size_t i = 0; i < menu.items.size() && !chosen; ++i) {
                const toolbox::MenuItemInfo& item = menu.items[i];
                if (item.command == command->command && item.enabled) {
                    model.ChooseMenuItem(menu.menu, static_cast<MenuItemIndex>(i + 1));
                    chosen = true;
                }
            }
            if (chosen)
                break;
        }
        if (!chosen)
            Report("no menu item has the command " + toolbox::CodeText(command->command));
    } else if (const auto* close = std::get_if<CloseAction>(&parsed)) {
        const toolbox::WindowInfo* window = FindWindow(windows, close->window);
        if (window == nullptr)
            Report("there is no window " + close->window);
        else
            model.CloseWindow(window->window);
    }
    inAction_ = false;
    WriteLine(StateLine(model));
}

void HeadlessView::WriteLine(const std::string& line) {
    out_ << line << '\n' << std::flush;
}

void HeadlessView::Report(const std::string& message) {
    err_ << "headless: line " << lineNumber_ << ": " << message << '\n' << std::flush;
}

} // namespace headless
