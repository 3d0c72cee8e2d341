// The text interface: the model drawn with curses, and the loops that read
// keys — the main one, the lists of popups and menus, and alerts.
#include "views/terminal/TerminalView.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/toolbox/Controls.h"
#include "platform/toolbox/StandardAlerts.h"
#include "views/terminal/TerminalSession.h"
#include "views/terminal/Text.h"
#include "views/terminal/WindowLayout.h"

namespace terminal {
namespace {

constexpr int kCtrlC = 3;
constexpr int kCtrlL = 12;
constexpr int kCtrlQ = 17;
constexpr int kCtrlW = 23;
constexpr int kEscape = 27;
constexpr MenuCommand kQuitCommand = 'quit';
// Alert boxes: the width of the box's inside, within what the screen allows.
constexpr int kAlertMinWidth = 36;
constexpr int kAlertMaxWidth = 58;

// ---- Keys

struct Key {
    int code = ERR;
    bool alt = false; // Esc came right before it: the key was pressed with Alt
};

bool IsEnter(int code) {
    return code == '\r' || code == '\n' || code == KEY_ENTER;
}

// Waits for a key. Ctrl-C interrupts the program, as it would at a shell.
Key ReadKey() {
    errno = 0;
    int code = getch();
    if (code == kCtrlC)
        std::raise(SIGINT);
    if (code == kEscape) {
        nodelay(stdscr, TRUE);
        int next = getch();
        nodelay(stdscr, FALSE);
        if (next != ERR)
            return {next, true};
    }
    return {code, false};
}

// A blocking read gives no key only when the input has ended, or when a
// signal broke the wait.
bool InputEnded(const Key& key) {
    return key.code == ERR && errno != EINTR;
}

// ---- Drawing

using Hints = std::vector<std::pair<std::wstring, std::wstring>>; // key, what it does

// Text at (y, x), cut to maxWidth columns and to the screen's edge.
void Put(int y, int x, std::wstring_view text, int maxWidth = COLS) {
    if (y < 0 || y >= LINES || x < 0 || x >= COLS)
        return;
    std::wstring shown = Fit(text, std::min(maxWidth, COLS - x));
    mvaddnwstr(y, x, shown.c_str(), static_cast<int>(shown.size()));
}

// A box with a title in its top edge; its inside is cleared.
void Frame(int top, int left, int height, int width, std::wstring_view title, attr_t edge) {
    if (height < 2 || width < 2)
        return;
    for (int row = top + 1; row < top + height - 1; ++row)
        mvhline(row, left + 1, ' ', width - 2);
    int bottom = top + height - 1;
    int right = left + width - 1;
    attron(edge);
    mvaddch(top, left, ACS_ULCORNER);
    mvhline(top, left + 1, ACS_HLINE, width - 2);
    mvaddch(top, right, ACS_URCORNER);
    mvvline(top + 1, left, ACS_VLINE, height - 2);
    mvvline(top + 1, right, ACS_VLINE, height - 2);
    mvaddch(bottom, left, ACS_LLCORNER);
    mvhline(bottom, left + 1, ACS_HLINE, width - 2);
    mvaddch(bottom, right, ACS_LRCORNER);
    if (!title.empty() && width > 6) {
        std::wstring shown = L" " + Fit(title, width - 6) + L" ";
        Put(top, left + (width - Width(shown)) / 2, shown);
    }
    attroff(edge);
}

void DrawHints(const Hints& hints) {
    int y = LINES - 1;
    move(y, 0);
    clrtoeol();
    int x = 1;
    for (const auto& [key, action] : hints) {
        int width = Width(key) + 1 + Width(action);
        if (x + width > COLS)
            break;
        attron(A_BOLD);
        Put(y, x, key);
        attroff(A_BOLD);
        Put(y, x + Width(key) + 1, action);
        x += width + 3;
    }
}

// Column of a menu's title in the menu bar.
int MenuTitleColumn(const std::vector<toolbox::MenuInfo>& menus, size_t index) {
    int x = 1;
    for (size_t i = 0; i < index && i < menus.size(); ++i)
        x += Width(Wide(menus[i].title)) + 3;
    return x;
}

// The menu bar on the top line; the open menu's title stands out.
void DrawMenuBar(const std::vector<toolbox::MenuInfo>& menus, int open) {
    attron(A_REVERSE);
    mvhline(0, 0, ' ', COLS);
    for (size_t i = 0; i < menus.size(); ++i) {
        if (static_cast<int>(i) == open)
            attroff(A_REVERSE);
        Put(0, MenuTitleColumn(menus, i), L" " + Wide(menus[i].title) + L" ");
        attron(A_REVERSE);
    }
    attroff(A_REVERSE);
}

bool Focusable(const toolbox::ControlInfo& control) {
    return control.kind == kControlKindPopupButton || control.kind == kControlKindPushButton;
}

// A visible window as it stands on the screen.
struct ShownWindow {
    toolbox::WindowInfo info;
    WindowLayout layout; // points into info
    int top = 0;         // of the frame
    int left = 0;

    int Row(const PlacedControl& placed) const { return top + 1 + placed.row; }
    int Column(int col) const { return left + 1 + col; }

    const PlacedControl* Find(ControlRef control) const {
        for (const PlacedControl& placed : layout.controls) {
            if (placed.control->control == control)
                return &placed;
        }
        return nullptr;
    }

    // The controls Tab moves between, top to bottom, left to right.
    std::vector<ControlRef> Focusables() const {
        std::vector<ControlRef> controls;
        for (const PlacedControl& placed : layout.controls) {
            bool shown = placed.row < layout.height && placed.width > 0;
            if (Focusable(*placed.control) && shown)
                controls.push_back(placed.control->control);
        }
        return controls;
    }
};

// The menu bar and the visible windows, laid out for the screen as it is.
struct Scene {
    std::vector<toolbox::MenuInfo> menus;
    // Back to front. Moving the scene keeps the windows where they are, so
    // their layouts stay valid; copying it would not.
    std::vector<ShownWindow> windows;

    Scene() = default;
    Scene(Scene&&) = default;
    Scene(const Scene&) = delete;

    const ShownWindow* Front() const { return windows.empty() ? nullptr : &windows.back(); }
};

Scene TakeScene(const toolbox::Model& model) {
    Scene scene;
    scene.menus = model.MenuBar();
    std::vector<toolbox::WindowInfo> windows = model.Windows(); // front first
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (window->visible)
            scene.windows.push_back({std::move(*window), {}, 0, 0});
    }
    // Centred between the menu bar and the hint line.
    for (ShownWindow& shown : scene.windows) {
        shown.layout = LayOutWindow(shown.info, COLS - 2, LINES - 4);
        int height = shown.layout.height + 2;
        int width = shown.layout.width + 2;
        shown.top = 1 + std::max(0, (LINES - 2 - height) / 2);
        shown.left = std::max(0, (COLS - width) / 2);
    }
    return scene;
}

void DrawWindow(const ShownWindow& shown, ControlRef focus, const TerminalSession& session) {
    const WindowLayout& layout = shown.layout;
    Frame(shown.top, shown.left, layout.height + 2, layout.width + 2, Wide(shown.info.title),
          A_NORMAL);
    for (const PlacedControl& placed : layout.controls) {
        const toolbox::ControlInfo& control = *placed.control;
        int y = shown.Row(placed);
        if (!placed.label.empty())
            Put(y, shown.Column(placed.col), placed.label, layout.width - placed.col);

        attr_t attributes = A_NORMAL;
        if (control.kind == kControlKindIcon)
            attributes = session.IconAttributes();
        if (Focusable(control)) {
            if (!control.active)
                attributes |= A_DIM;
            if (control.control == focus)
                attributes |= A_REVERSE;
        }
        int rows = std::min(static_cast<int>(placed.lines.size()), layout.height - placed.row);
        attron(attributes);
        for (int i = 0; i < rows; ++i)
            Put(y + i, shown.Column(placed.BodyColumn()), placed.lines[i],
                layout.width - placed.BodyColumn());
        attroff(attributes);
    }
}

void DrawScene(const Scene& scene, ControlRef focus, int openMenu, const Hints& hints,
               const TerminalSession& session) {
    erase();
    DrawMenuBar(scene.menus, openMenu);
    for (const ShownWindow& shown : scene.windows)
        DrawWindow(shown, &shown == scene.Front() ? focus : nullptr, session);
    DrawHints(hints);
}

// ---- Lists: a popup's items and a menu's items

struct ListEntry {
    std::wstring text;
    std::wstring shortcut; // shown at the right
    bool separator = false;
    bool enabled = true;
    bool checked = false; // the popup's chosen item
};

enum class ListEnd { chosen, cancelled, previousMenu, nextMenu };

struct ListOutcome {
    ListEnd end = ListEnd::cancelled;
    size_t index = 0;
};

// Draws what lies behind the list and answers where the list hangs from
// (row, column) and how wide it is at least.
struct ListAnchor {
    int row = 1;
    int col = 0;
    int minWidth = 0;
};
using DrawBehind = std::function<ListAnchor()>;

// The next entry that can be chosen from `from` in direction `step`, or
// `from` when there is none.
size_t Step(const std::vector<ListEntry>& entries, size_t from, int step) {
    for (size_t i = from + step; i < entries.size(); i += step) {
        if (entries[i].enabled)
            return i;
    }
    return from;
}

size_t FirstEnabled(const std::vector<ListEntry>& entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].enabled)
            return i;
    }
    return 0;
}

void DrawList(const std::vector<ListEntry>& entries, size_t highlight, const ListAnchor& anchor,
              size_t& first) {
    int inside = std::max(anchor.minWidth - 2, 0);
    for (const ListEntry& entry : entries) {
        int shortcut = entry.shortcut.empty() ? 0 : Width(entry.shortcut) + 2;
        inside = std::max(inside, 3 + Width(entry.text) + shortcut + 1);
    }
    int width = std::min(inside + 2, COLS);
    int height = std::min(static_cast<int>(entries.size()) + 2, LINES - 2);
    int top = anchor.row;
    if (top + height > LINES - 1)
        top = std::max(1, LINES - 1 - height);
    int left = std::max(0, std::min(anchor.col, COLS - width));
    size_t shown = static_cast<size_t>(std::max(height - 2, 1));
    if (highlight < first)
        first = highlight;
    if (highlight >= first + shown)
        first = highlight + 1 - shown;

    Frame(top, left, height, width, L"", A_NORMAL);
    int body = width - 2;
    for (size_t k = 0; k < shown && first + k < entries.size(); ++k) {
        const ListEntry& entry = entries[first + k];
        int y = top + 1 + static_cast<int>(k);
        if (entry.separator) {
            mvaddch(y, left, ACS_LTEE);
            mvhline(y, left + 1, ACS_HLINE, body);
            mvaddch(y, left + width - 1, ACS_RTEE);
            continue;
        }
        std::wstring right = entry.shortcut.empty() ? L"" : entry.shortcut + L" ";
        std::wstring line =
            Pad(std::wstring(L" ") + (entry.checked ? L"✓" : L" ") + L" " + entry.text,
                body - Width(right)) +
            right;
        attr_t attributes =
            (first + k == highlight ? A_REVERSE : A_NORMAL) | (entry.enabled ? A_NORMAL : A_DIM);
        attron(attributes);
        Put(y, left + 1, line, body);
        attroff(attributes);
    }
    // Arrows on the frame where the list goes on beyond it.
    if (first > 0)
        mvaddch(top, left + width - 2, ACS_UARROW);
    if (first + shown < entries.size())
        mvaddch(top + height - 1, left + width - 2, ACS_DARROW);
}

// Up and Down move over the entries that can be chosen, Enter chooses, Esc
// cancels; Left and Right go to the neighbouring menu when `sideways`.
ListOutcome RunList(const std::vector<ListEntry>& entries, size_t highlight,
                    const DrawBehind& drawBehind, bool sideways) {
    size_t first = 0;
    while (true) {
        ListAnchor anchor = drawBehind();
        DrawList(entries, highlight, anchor, first);
        refresh();
        Key key = ReadKey();
        if (InputEnded(key) || key.alt)
            return {ListEnd::cancelled};
        switch (key.code) {
        case KEY_UP:
            highlight = Step(entries, highlight, -1);
            break;
        case KEY_DOWN:
            highlight = Step(entries, highlight, +1);
            break;
        case KEY_HOME:
        case KEY_PPAGE:
            highlight = FirstEnabled(entries);
            break;
        case KEY_END:
        case KEY_NPAGE: {
            size_t last = Step(entries, entries.size(), -1);
            if (last < entries.size())
                highlight = last;
            break;
        }
        case kEscape:
        case KEY_F(10):
            return {ListEnd::cancelled};
        case KEY_LEFT:
            if (sideways)
                return {ListEnd::previousMenu};
            break;
        case KEY_RIGHT:
            if (sideways)
                return {ListEnd::nextMenu};
            break;
        case kCtrlL:
            clearok(curscr, TRUE);
            break;
        default:
            if (IsEnter(key.code) && highlight < entries.size() && entries[highlight].enabled)
                return {ListEnd::chosen, highlight};
            break;
        }
    }
}

// ---- Alerts

// The sign an alert shows for its kind; plain alerts show none.
std::wstring AlertSign(AlertType type) {
    switch (type) {
    case kAlertStopAlert:
        return L"(!)";
    case kAlertNoteAlert:
        return L"(i)";
    case kAlertCautionAlert:
        return L"/!\\";
    default:
        return L"";
    }
}

void DrawAlert(const toolbox::AlertInfo& alert, size_t focused, const TerminalSession& session) {
    std::wstring sign = AlertSign(alert.type);
    int signColumns = sign.empty() ? 0 : Width(sign) + 2;
    std::wstring message = Wide(alert.message);
    std::wstring secondary = alert.secondary ? Wide(*alert.secondary) : L"";
    std::vector<std::wstring> labels;
    int buttonsWidth = 0;
    for (const toolbox::AlertButton& button : alert.buttons) {
        labels.push_back(L"[ " + Wide(button.label) + L" ]");
        buttonsWidth += Width(labels.back()) + (labels.size() > 1 ? 2 : 0);
    }

    // Two blank columns each side; the sign, then the texts.
    int maxInside = std::max(std::min(COLS - 4, kAlertMaxWidth), 12);
    int inside = 4 + signColumns + std::max(Width(message), Width(secondary));
    inside = std::max({inside, kAlertMinWidth, buttonsWidth + 4, Width(Wide(alert.title)) + 8});
    inside = std::min(inside, maxInside);
    int textWidth = std::max(inside - 4 - signColumns, 1);

    // Rows: blank, message, blank, secondary and a blank when there is one,
    // buttons. The texts share what the screen leaves.
    bool hasSecondary = alert.secondary.has_value();
    int room = std::max(LINES - 4 - 3 - (hasSecondary ? 1 : 0), 2);
    std::vector<std::wstring> secondaryLines =
        hasSecondary ? Wrap(secondary, textWidth) : std::vector<std::wstring>{};
    int secondaryRoom = hasSecondary ? std::min<int>(secondaryLines.size(), room / 2) : 0;
    std::vector<std::wstring> messageLines =
        WrapInto(message, textWidth, std::max(room - secondaryRoom, 1));
    if (hasSecondary)
        secondaryLines = WrapInto(secondary, textWidth,
                                  std::max(room - static_cast<int>(messageLines.size()), 0));
    int height = 2 + 1 + static_cast<int>(messageLines.size()) + 1 +
                 (hasSecondary ? static_cast<int>(secondaryLines.size()) + 1 : 0) + 1;
    int top = 1 + std::max(0, (LINES - 2 - height) / 2);
    int left = std::max(0, (COLS - inside - 2) / 2);

    attr_t edge = alert.type == kAlertStopAlert ? session.ErrorAttributes() : A_NORMAL;
    Frame(top, left, height, inside + 2, Wide(alert.title), edge);
    int row = top + 2;
    int textColumn = left + 3 + signColumns;
    if (!sign.empty()) {
        attron(edge | A_BOLD);
        Put(row, left + 3, sign);
        attroff(edge | A_BOLD);
    }
    for (const std::wstring& line : messageLines)
        Put(row++, textColumn, line, textWidth);
    ++row;
    if (hasSecondary) {
        for (const std::wstring& line : secondaryLines)
            Put(row++, textColumn, line, textWidth);
        ++row;
    }
    int x = left + 1 + inside - 2 - buttonsWidth;
    for (size_t i = 0; i < labels.size(); ++i) {
        attr_t attributes = i == focused ? A_REVERSE : A_NORMAL;
        attron(attributes);
        Put(row, x, labels[i]);
        attroff(attributes);
        x += Width(labels[i]) + 2;
    }
}

// ---- The view

class TerminalView final : public toolbox::View {
  public:
    void RunEventLoop(toolbox::Model& model) override;
    DialogItemIndex RunAlert(toolbox::Model& model, const toolbox::AlertInfo& alert) override;
    void Close(toolbox::Model&) override { session_.Leave(); }

  private:
    void HandleKey(toolbox::Model& model, const Scene& scene, const Key& key);
    Hints MainHints(const Scene& scene) const;
    void OpenPopup(toolbox::Model& model, const toolbox::ControlInfo& popup);
    void OpenMenus(toolbox::Model& model);

    TerminalSession session_;
    ControlRef focus_ = nullptr; // in the front window
};

bool HasQuitCommand(const std::vector<toolbox::MenuInfo>& menus) {
    for (const toolbox::MenuInfo& menu : menus) {
        for (const toolbox::MenuItemInfo& item : menu.items) {
            if (item.command == kQuitCommand && item.enabled)
                return true;
        }
    }
    return false;
}

void ChooseCommand(toolbox::Model& model, MenuCommand command) {
    for (const toolbox::MenuInfo& menu : model.MenuBar()) {
        for (size_t i = 0; i < menu.items.size(); ++i) {
            if (menu.items[i].command == command && menu.items[i].enabled) {
                model.ChooseMenuItem(menu.menu, static_cast<MenuItemIndex>(i + 1));
                return;
            }
        }
    }
}

// What a person does when they walk away: close the windows, front first,
// until the program ends or none is left.
void CloseAllWindows(toolbox::Model& model) {
    for (const toolbox::WindowInfo& window : model.Windows()) {
        if (!model.EventLoopRunning())
            return;
        if (window.visible)
            model.CloseWindow(window.window);
    }
}

void TerminalView::RunEventLoop(toolbox::Model& model) {
    if (!session_.Enter()) {
        CloseAllWindows(model);
        return;
    }
    while (model.EventLoopRunning()) {
        Scene scene = TakeScene(model);
        const ShownWindow* front = scene.Front();
        std::vector<ControlRef> focusables =
            front ? front->Focusables() : std::vector<ControlRef>{};
        if (!focusables.empty() &&
            std::find(focusables.begin(), focusables.end(), focus_) == focusables.end())
            focus_ = focusables.front();
        DrawScene(scene, focus_, -1, MainHints(scene), session_);
        refresh();

        Key key = ReadKey();
        if (InputEnded(key)) {
            CloseAllWindows(model);
            break;
        }
        HandleKey(model, scene, key);
    }
    session_.Leave();
}

Hints TerminalView::MainHints(const Scene& scene) const {
    Hints hints;
    const ShownWindow* front = scene.Front();
    if (front != nullptr && !front->Focusables().empty()) {
        const PlacedControl* focused = front->Find(focus_);
        bool popup = focused != nullptr && focused->control->kind == kControlKindPopupButton;
        hints = {{L"Tab", L"Next"}, {L"Enter", popup ? L"Open list" : L"Press"}};
    } else if (front != nullptr) {
        hints = {{L"Enter/Esc", L"Close"}};
    }
    if (!scene.menus.empty())
        hints.push_back({L"F10", L"Menu"});
    if (front != nullptr)
        hints.push_back({L"Ctrl-W", L"Close window"});
    if (HasQuitCommand(scene.menus))
        hints.push_back({L"Ctrl-Q", L"Quit"});
    return hints;
}

void TerminalView::HandleKey(toolbox::Model& model, const Scene& scene, const Key& key) {
    if (key.alt || key.code == KEY_F(10)) {
        OpenMenus(model);
        return;
    }
    const ShownWindow* front = scene.Front();
    std::vector<ControlRef> focusables = front ? front->Focusables() : std::vector<ControlRef>{};
    switch (key.code) {
    case kCtrlQ:
        ChooseCommand(model, kQuitCommand);
        return;
    case kCtrlW:
        if (front != nullptr)
            model.CloseWindow(front->info.window);
        return;
    case kCtrlL:
        clearok(curscr, TRUE);
        return;
    case '\t':
    case KEY_BTAB:
        if (!focusables.empty()) {
            auto at = std::find(focusables.begin(), focusables.end(), focus_);
            size_t index = at == focusables.end() ? 0 : at - focusables.begin();
            size_t count = focusables.size();
            focus_ = focusables[(index + (key.code == '\t' ? 1 : count - 1)) % count];
        }
        return;
    case kEscape:
        // Windows without controls to move between close with Esc; the main
        // panel ignores it.
        if (front != nullptr && focusables.empty())
            model.CloseWindow(front->info.window);
        return;
    default:
        break;
    }
    if (front == nullptr || !(IsEnter(key.code) || key.code == ' '))
        return;
    if (focusables.empty()) {
        if (IsEnter(key.code))
            model.CloseWindow(front->info.window);
        return;
    }
    const PlacedControl* focused = front->Find(focus_);
    if (focused == nullptr)
        return;
    if (focused->control->kind == kControlKindPopupButton)
        OpenPopup(model, *focused->control);
    else if (focused->control->active)
        model.ClickControl(focus_);
}

void TerminalView::OpenPopup(toolbox::Model& model, const toolbox::ControlInfo& popup) {
    if (!popup.active)
        return;
    std::vector<ListEntry> entries;
    for (size_t i = 0; i < popup.menu.items.size(); ++i) {
        const toolbox::MenuItemInfo& item = popup.menu.items[i];
        entries.push_back({Wide(item.text), L"", item.separator, item.enabled,
                           static_cast<size_t>(popup.value) == i + 1});
    }
    size_t current = static_cast<size_t>(std::max<int>(popup.value, 1) - 1);
    size_t highlight =
        current < entries.size() && entries[current].enabled ? current : FirstEnabled(entries);
    ControlRef control = popup.control;
    const Hints hints = {{L"↑↓", L"Move"}, {L"Enter", L"Choose"}, {L"Esc", L"Cancel"}};
    DrawBehind drawBehind = [&]() {
        Scene scene = TakeScene(model);
        DrawScene(scene, focus_, -1, hints, session_);
        ListAnchor anchor;
        for (const ShownWindow& shown : scene.windows) {
            if (const PlacedControl* placed = shown.Find(control)) {
                anchor = {shown.Row(*placed) + 1, shown.Column(placed->BodyColumn()),
                          placed->lines.empty() ? 0 : Width(placed->lines.front())};
            }
        }
        return anchor;
    };
    ListOutcome outcome = RunList(entries, highlight, drawBehind, false);
    if (outcome.end == ListEnd::chosen)
        model.ChoosePopupItem(control, static_cast<MenuItemIndex>(outcome.index + 1));
}

void TerminalView::OpenMenus(toolbox::Model& model) {
    std::vector<toolbox::MenuInfo> menus = model.MenuBar();
    size_t index = 0;
    while (index < menus.size()) {
        const toolbox::MenuInfo& menu = menus[index];
        std::vector<ListEntry> entries;
        for (const toolbox::MenuItemInfo& item : menu.items)
            entries.push_back({Wide(item.text), item.command == kQuitCommand ? L"Ctrl-Q" : L"",
                               item.separator, item.enabled, false});
        Hints hints = {{L"↑↓", L"Move"}, {L"Enter", L"Choose"}, {L"Esc", L"Cancel"}};
        if (menus.size() > 1)
            hints.push_back({L"←→", L"Menus"});
        DrawBehind drawBehind = [&]() {
            DrawScene(TakeScene(model), nullptr, static_cast<int>(index), hints, session_);
            return ListAnchor{1, MenuTitleColumn(menus, index), 0};
        };
        ListOutcome outcome = RunList(entries, FirstEnabled(entries), drawBehind, true);
        switch (outcome.end) {
        case ListEnd::previousMenu:
            index = (index + menus.size() - 1) % menus.size();
            break;
        case ListEnd::nextMenu:
            index = (index + 1) % menus.size();
            break;
        case ListEnd::chosen:
            model.ChooseMenuItem(menu.menu, static_cast<MenuItemIndex>(outcome.index + 1));
            return;
        case ListEnd::cancelled:
            return;
        }
    }
}

DialogItemIndex TerminalView::RunAlert(toolbox::Model& model, const toolbox::AlertInfo& alert) {
    if (alert.buttons.empty() || !session_.Enter())
        return alert.defaultButton;
    size_t focused = alert.buttons.size() - 1;
    for (size_t i = 0; i < alert.buttons.size(); ++i) {
        if (alert.buttons[i].item == alert.defaultButton)
            focused = i;
    }
    size_t count = alert.buttons.size();
    while (true) {
        Hints hints = {{L"Enter", Wide(alert.buttons[focused].label)}};
        if (count > 1)
            hints.push_back({L"←→", L"Buttons"});
        if (alert.cancelButton != 0)
            hints.push_back({L"Esc", L"Cancel"});
        DrawScene(TakeScene(model), nullptr, -1, hints, session_);
        DrawAlert(alert, focused, session_);
        refresh();

        Key key = ReadKey();
        if (InputEnded(key))
            return alert.defaultButton;
        if (key.alt)
            continue;
        if (IsEnter(key.code) || key.code == ' ')
            return alert.buttons[focused].item;
        switch (key.code) {
        case kEscape:
            if (alert.cancelButton != 0)
                return alert.cancelButton;
            break;
        case KEY_LEFT:
        case KEY_BTAB:
            focused = (focused + count - 1) % count;
            break;
        case KEY_RIGHT:
        case '\t':
            focused = (focused + 1) % count;
            break;
        case kCtrlL:
            clearok(curscr, TRUE);
            break;
        default:
            break;
        }
    }
}

} // namespace
} // namespace terminal

std::unique_ptr<toolbox::View> MakeTerminalView() {
    if (!terminal::TerminalUsable())
        return nullptr;
    return std::make_unique<terminal::TerminalView>();
}
