#pragma once

#include <QObject>
#include <QWidget>
#include <functional>
#include <optional>

#include "start_probe.h"

namespace discstart {

// Calls `done` once the window's first paint has been done and handed to the window
// system: a queued call after the first paint event runs when that paint pass is over.
class FirstPaintWatch : public QObject {
  public:
    FirstPaintWatch(QWidget& window, std::function<void()> done);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    std::function<void()> done_;
    bool seen_ = false;
};

// The milestones of one start, in milliseconds since the process started.
struct StartMarks {
    std::optional<double> shown;
    std::optional<double> shownCpu;  // CPU time spent until then
    std::optional<double> panel;
    std::optional<double> page;
    std::optional<double> longestStall;  // the event loop's longest wait between ticks, from shown on
};

// One line, key=value, for the scripts: the marks, the clock they came from and the
// memory peaks at the moment of the call.
void PrintStartReport(const StartClock& clock, const StartMarks& marks);

}  // namespace discstart
