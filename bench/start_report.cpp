#include "start_report.h"

#include <QEvent>
#include <QMetaObject>
#include <cstdio>

namespace discstart {

FirstPaintWatch::FirstPaintWatch(QWidget& window, std::function<void()> done)
    : QObject(&window), window_(window), done_(std::move(done)) {
    window_.installEventFilter(this);
}

bool FirstPaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Paint && !seen_) {
        seen_ = true;
        window_.removeEventFilter(this);
        QMetaObject::invokeMethod(this, done_, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

namespace {

void PrintMark(const char* name, const std::optional<double>& ms) {
    if (ms) std::printf(" %s_ms=%.3f", name, *ms);
}

}  // namespace

void PrintStartReport(const StartClock& clock, const StartMarks& marks) {
    const MemoryPeaks peaks = MeasureMemoryPeaks();
    std::printf("clock=%s", clock.sourceName());
    PrintMark("shown", marks.shown);
    PrintMark("shown_cpu", marks.shownCpu);
    PrintMark("panel", marks.panel);
    PrintMark("page", marks.page);
    PrintMark("longest_stall", marks.longestStall);
    // Called on the window's thread: the rest is the workers' (the page's and the cover's).
    PrintMark("worker_cpu", ProcessCpuMilliseconds() - ThreadCpuMilliseconds());
    std::printf(" peak_kib=%lld tree_kib=%lld processes=%d\n", static_cast<long long>(peaks.selfKib),
                static_cast<long long>(peaks.treeKib), peaks.processes);
    std::fflush(stdout);
}

}  // namespace discstart
