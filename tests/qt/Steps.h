// Steps that act on the windows from inside Qt's event loop, one after the
// other. A step answers whether it is done; one that is not (a window not
// shown yet, an alert not up yet) is tried again shortly, until a deadline.
// Steps run from a timer, so a step can run while an earlier step's action
// is still inside a modal alert's loop.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qttest {

struct Step {
    std::string what;
    std::function<bool()> done;
};

class StepRunner {
  public:
    // onStuck is called with the step that did not finish in time.
    StepRunner(std::vector<Step> steps, std::function<void(const std::string&)> onStuck,
               int deadlineMs = 20000)
        : steps_(std::move(steps)), onStuck_(std::move(onStuck)), deadlineMs_(deadlineMs) {}

    // Runs the steps from the event loop of context's thread, while context lives.
    void Start(QObject* context) {
        context_ = context;
        clock_.start();
        Next(0);
    }

    bool Finished() const { return next_ >= steps_.size(); }

  private:
    void Next(int delayMs) {
        if (Finished())
            return;
        QTimer::singleShot(delayMs, context_, [this] {
            if (Finished())
                return;
            if (steps_[next_].done()) {
                ++next_;
                clock_.restart();
                Next(0);
            } else if (clock_.elapsed() > deadlineMs_) {
                std::string what = steps_[next_].what;
                next_ = steps_.size();
                onStuck_(what);
            } else {
                Next(10);
            }
        });
    }

    std::vector<Step> steps_;
    std::function<void(const std::string&)> onStuck_;
    int deadlineMs_;
    QObject* context_ = nullptr;
    QElapsedTimer clock_;
    size_t next_ = 0;
};

} // namespace qttest
