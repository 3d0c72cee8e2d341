// Parsing captured screens.
#include "tests/terminal/ScreenText.h"

#include <cstdlib>
#include <sstream>

namespace terminal_test {
namespace {

size_t CharLength(unsigned char lead) {
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

void ApplySgr(const std::string& parameters, Cell& pen) {
    std::vector<int> codes;
    std::stringstream stream(parameters);
    std::string code;
    while (std::getline(stream, code, ';'))
        codes.push_back(code.empty() ? 0 : std::atoi(code.c_str()));
    if (codes.empty())
        codes.push_back(0);
    for (size_t i = 0; i < codes.size(); ++i) {
        int c = codes[i];
        if (c == 0)
            pen = Cell{};
        else if (c == 2)
            pen.dim = true;
        else if (c == 22)
            pen.dim = false;
        else if (c == 7)
            pen.reverse = true;
        else if (c == 27)
            pen.reverse = false;
        else if ((c >= 30 && c <= 37) || (c >= 90 && c <= 97) || c == 39)
            pen.red = c == 31 || c == 91;
        else if (c == 38 && i + 1 < codes.size()) {
            // 38;5;N or 38;2;R;G;B
            bool indexed = codes[i + 1] == 5 && i + 2 < codes.size();
            pen.red = indexed && (codes[i + 2] == 1 || codes[i + 2] == 9);
            i += indexed ? 2 : 4;
        }
    }
}

// Lines of the screen as wide strings, for counting columns.
std::vector<std::wstring> WideLines(const std::string& screen) {
    std::vector<std::wstring> lines;
    std::stringstream stream(screen);
    std::string line;
    while (std::getline(stream, line)) {
        std::wstring wide(line.size(), L'\0');
        size_t n = std::mbstowcs(wide.data(), line.c_str(), wide.size());
        wide.resize(n == static_cast<size_t>(-1) ? 0 : n);
        lines.push_back(wide);
    }
    return lines;
}

std::string Narrow(const std::wstring& text) {
    std::string out(text.size() * 4 + 1, '\0');
    size_t n = std::wcstombs(out.data(), text.c_str(), out.size());
    out.resize(n == static_cast<size_t>(-1) ? 0 : n);
    return out;
}

std::string Squeezed(const std::string& text) {
    std::string out;
    std::stringstream stream(text);
    std::string word;
    while (stream >> word)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

} // namespace

std::vector<ScreenLine> ParseScreen(const std::string& withAttributes) {
    std::vector<ScreenLine> screen(1);
    Cell pen;
    const std::string& s = withAttributes;
    for (size_t i = 0; i < s.size();) {
        if (s[i] == '\n') {
            screen.emplace_back();
            ++i;
        } else if (s[i] == '\x1b' && i + 1 < s.size() && s[i + 1] == '[') {
            size_t end = i + 2;
            while (end < s.size() && !(s[end] >= 0x40 && s[end] <= 0x7E))
                ++end;
            if (end < s.size() && s[end] == 'm')
                ApplySgr(s.substr(i + 2, end - i - 2), pen);
            i = end + 1;
        } else {
            size_t length = CharLength(static_cast<unsigned char>(s[i]));
            Cell cell = pen;
            cell.text = s.substr(i, length);
            screen.back().push_back(cell);
            i += length;
        }
    }
    return screen;
}

std::string LineText(const ScreenLine& line) {
    std::string text;
    for (const Cell& cell : line)
        text += cell.text;
    return text;
}

bool ShownWith(const std::vector<ScreenLine>& screen, const std::string& text,
               bool (*test)(const Cell&)) {
    for (const ScreenLine& line : screen) {
        for (size_t start = 0; start < line.size(); ++start) {
            std::string here;
            size_t k = start;
            bool passes = true;
            while (k < line.size() && here.size() < text.size()) {
                here += line[k].text;
                passes = passes && test(line[k]);
                ++k;
            }
            if (here == text && passes)
                return true;
        }
    }
    return false;
}

std::vector<std::string> ReverseTexts(const std::vector<ScreenLine>& screen) {
    std::vector<std::string> texts;
    for (size_t row = 1; row < screen.size(); ++row) {
        std::string run;
        for (const Cell& cell : screen[row]) {
            if (cell.reverse) {
                run += cell.text;
            } else if (!run.empty()) {
                texts.push_back(Squeezed(run));
                run.clear();
            }
        }
        if (!run.empty())
            texts.push_back(Squeezed(run));
    }
    return texts;
}

std::optional<std::string> BoxText(const std::string& screen, const std::string& title) {
    std::vector<std::wstring> lines = WideLines(screen);
    std::wstring wideTitle = WideLines(title).front();
    for (size_t row = 0; row < lines.size(); ++row) {
        const std::wstring& line = lines[row];
        size_t at = line.find(L" " + wideTitle + L" ");
        if (at == std::wstring::npos)
            continue;
        size_t left = line.rfind(L'┌', at);
        size_t right = line.find(L'┐', at);
        if (left == std::wstring::npos || right == std::wstring::npos)
            continue;
        std::wstring inside;
        for (size_t r = row + 1; r < lines.size(); ++r) {
            if (lines[r].size() <= left || lines[r][left] == L'└')
                break;
            inside += L" " + lines[r].substr(left + 1, right - left - 1);
        }
        return Squeezed(Narrow(inside));
    }
    return std::nullopt;
}

} // namespace terminal_test
