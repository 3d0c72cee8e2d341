// The desktop view: the model's windows as Qt Widgets windows, its menu bar,
// and its standard alerts as modal message boxes. What a person does becomes
// the model's events; afterwards the windows are redrawn from the model.
//
// Qt runs only while the view needs it: the application object is made when
// the event loop starts or an alert comes, and is gone again when the loop
// has ended, when the alert, shown before the loop, is dismissed, or when
// the process is about to end inside an action. Widgets are
// named for tests and tools: a window by its name in the interface file, a
// control by its signature and number ("popb1"), an alert "Alert".
#pragma once

#include <QApplication>
#include <QEventLoop>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/toolbox/View.h"
#include "views/qt/ModelWindow.h"

namespace qtview {

class QtView final : public toolbox::View {
  public:
    // platform: Qt's window-system platform, or empty for Qt's own choice.
    explicit QtView(std::string platform);
    ~QtView() override;

    void RunEventLoop(toolbox::Model& model) override;
    DialogItemIndex RunAlert(toolbox::Model& model, const toolbox::AlertInfo& alert) override;
    void Changed(toolbox::Model& model) override;
    void Close(toolbox::Model& model) override;

  private:
    bool StartQt();
    void EndQt();
    // Re-reads the model and brings every window up to date.
    void Refresh();
    // Runs a person's action on the model from the event loop, then redraws.
    void Act(std::function<void(toolbox::Model&)> action);
    // The frontmost shown window, over which alerts appear.
    QWidget* FrontWindow() const;

    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    int argc_ = 0;
    std::unique_ptr<QApplication> application_; // when the view made it
    std::unique_ptr<QObject> session_;          // while Qt runs for the view
    toolbox::Model* model_ = nullptr;
    QEventLoop* loop_ = nullptr;
    bool acting_ = false;
    bool refreshPending_ = false;
    std::map<WindowRef, std::unique_ptr<ModelWindow>> windows_;
    std::vector<WindowRef> order_; // frontmost first
    WindowRef menuWindow_ = nullptr;
    std::vector<toolbox::MenuInfo> menus_;
};

} // namespace qtview
