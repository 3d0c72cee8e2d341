// The scripted view: reads actions (see Script.h), answers every alert with
// its default button, and writes one JSON object a line:
//   {"event":"alert","kind":0,"title":"Error","message":"…","secondary":null}
//   {"event":"state","popup":{"value":V,"items":[{"text":"…","icon":PATH_OR_NULL,
//    "separator":false},…]},"stxt1":"…","stxt2":"…","icon3":PATH_OR_NULL,
//    "push1":{"active":BOOL},"about":{"visible":BOOL}}
// A state line is written when the event loop starts and after each action.
// When the actions run out, the main window is closed. Lines that are not
// actions, and actions that find nothing to act on, are reported on the
// error stream; nothing but the JSON lines goes to the output.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "platform/toolbox/View.h"

namespace headless {

// The windows the automation contract speaks of, by their interface-file names.
inline constexpr const char* kMainWindowName = "MainWindow";
inline constexpr const char* kAboutWindowName = "AboutWindow";

class HeadlessView final : public toolbox::View {
  public:
    HeadlessView(std::istream& actions, std::ostream& out, std::ostream& err);
    // Reads the actions from a stream it owns; writes to standard output and error.
    explicit HeadlessView(std::unique_ptr<std::istream> actions);

    void RunEventLoop(toolbox::Model& model) override;
    DialogItemIndex RunAlert(toolbox::Model& model, const toolbox::AlertInfo& alert) override;
    void Close(toolbox::Model& model) override;

    // The JSON lines, without their line ends.
    static std::string StateLine(const toolbox::Model& model);
    static std::string AlertLine(const toolbox::AlertInfo& alert);

  private:
    void Perform(toolbox::Model& model, const std::string& line);
    void WriteLine(const std::string& line);
    void Report(const std::string& message);

    std::unique_ptr<std::istream> ownedActions_;
    std::istream& actions_;
    std::ostream& out_;
    std::ostream& err_;
    unsigned lineNumber_ = 0;
    bool inAction_ = false;
};

} // namespace headless
