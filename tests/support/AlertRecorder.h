// A view for tests of code that shows alerts: it answers every alert with its
// default button and keeps what it was shown. The toolbox owns the view, so
// the alerts go to a list the test owns.
#pragma once

#include "platform/toolbox/View.h"

#include <vector>

class AlertRecorder : public toolbox::View {
  public:
    explicit AlertRecorder(std::vector<toolbox::AlertInfo>* shown) : shown_(shown) {}
    void RunEventLoop(toolbox::Model&) override {}
    DialogItemIndex RunAlert(toolbox::Model&, const toolbox::AlertInfo& alert) override {
        shown_->push_back(alert);
        return alert.defaultButton;
    }

  private:
    std::vector<toolbox::AlertInfo>* shown_;
};
