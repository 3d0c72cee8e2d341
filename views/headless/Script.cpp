// Reading one line of a headless script into an action.
#include "views/headless/Script.h"

#include "platform/toolbox/FourCharCodes.h"

#include <charconv>
#include <limits>
#include <vector>

namespace headless {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r", at);
        if (at == std::string_view::npos)
            break;
        size_t end = line.find_first_of(" \t\r", at);
        words.push_back(line.substr(at, end == std::string_view::npos ? end : end - at));
        at = end;
    }
    return words;
}

template <class Int> bool ReadNumber(std::string_view text, Int min, Int max, Int* out) {
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return false;
    *out = static_cast<Int>(value);
    return true;
}

} // namespace

ScriptLine ParseScriptLine(std::string_view line) {
    std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0].front() == '#')
        return NoAction{};
    std::string_view verb = words[0];
    if (verb == "select" && words.size() == 2) {
        MenuItemIndex item = 0;
        if (ReadNumber<MenuItemIndex>(words[1], 1, std::numeric_limits<SInt16>::max(), &item))
            return SelectAction{item};
        return BadAction{"select needs an item number from 1"};
    }
    if (verb == "click" && words.size() == 3) {
        ControlID control{};
        if (toolbox::CodeFromText(words[1], &control.signature) &&
            ReadNumber<SInt32>(words[2], std::numeric_limits<SInt32>::min(),
                               std::numeric_limits<SInt32>::max(), &control.id))
            return ClickAction{control};
        return BadAction{"click needs a four-character signature and a number"};
    }
    if (verb == "command" && words.size() == 2) {
        MenuCommand command = 0;
        if (toolbox::CodeFromText(words[1], &command))
            return CommandAction{command};
        return BadAction{"command needs a four-character command ID"};
    }
    if (verb == "close" && words.size() == 2)
        return CloseAction{std::string(words[1])};
    return BadAction{"unknown action"};
}

} // namespace headless
