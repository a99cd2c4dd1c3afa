// Runs the program's own start on a disc folder and reports, in milliseconds since the
// process started, when the window was first painted, when the panel was filled and when
// the page had loaded; then the memory peaks, and quits.
//   startup_discstart DISC_FOLDER [HOLD_MS [GIVE_UP_MS]]   (run it through `launch` for a precise start)
// With HOLD_MS it stays that long once everything is in and also reports the event loop's
// longest stall from the first paint on: how long a click on close could wait. After GIVE_UP_MS
// (20 s) it reports what it has and ends with status 1.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/form1.h"
#include "app/program.h"
#include "app/qt_platform.h"
#include "page/page_view.h"
#include "start_report.h"

namespace discstart {

namespace {

class DiscFolderPlatform : public QtPlatform {
  public:
    explicit DiscFolderPlatform(QString folder) : folder_(std::move(folder)) {}
    QString applicationDirectory() const override { return folder_; }

  private:
    QString folder_;
};

class WatchedForm : public Form1 {
  public:
    WatchedForm(Platform& platform, const StartClock& clock, int holdMs, int giveUpMs)
        : Form1(platform), clock_(clock), holdMs_(holdMs) {
        new FirstPaintWatch(*this, [this] {
            marks_.shownCpu = ProcessCpuMilliseconds();
            if (holdMs_ > 0) watchStalls();
            mark(marks_.shown);
        });
        connect(findChild<PageView*>(QStringLiteral("WebBrowser1")), &PageView::loadFinished, this,
                [this] { mark(marks_.page); });
        // A page that never comes is reported as far as it got.
        QTimer::singleShot(giveUpMs, this, [this] {
            std::fputs("startup_discstart: gave up waiting\n", stderr);
            marks_.longestStall = longestStall_;
            PrintStartReport(clock_, marks_);
            // Not through the event loop: the program would wait for the page's worker.
            std::_Exit(1);
        });
    }

    void label() override {
        Form1::label();
        mark(marks_.panel);
    }

  private:
    void mark(std::optional<double>& milestone) {
        if (!milestone) milestone = clock_.millisecondsSinceStart();
        // Done when the window is painted, the panel filled and the page, if any, loaded.
        const bool pageDue = disc().pageButtonShown();
        if (!marks_.shown || !marks_.panel || (pageDue && !marks_.page) || finishing_) return;
        finishing_ = true;
        if (holdMs_ <= 0) return finish();
        QTimer::singleShot(holdMs_, this, [this] {
            marks_.longestStall = longestStall_;
            finish();
        });
    }

    void finish() {
        PrintStartReport(clock_, marks_);
        QCoreApplication::quit();
    }

    void watchStalls() {
        auto* tick = new QTimer(this);
        tick->setInterval(5);
        sinceTick_.start();
        connect(tick, &QTimer::timeout, this, [this] {
            longestStall_ = std::max(longestStall_, double(sinceTick_.nsecsElapsed()) / 1e6);
            sinceTick_.restart();
        });
        tick->start();
    }

    const StartClock& clock_;
    const int holdMs_;
    StartMarks marks_;
    bool finishing_ = false;
    QElapsedTimer sinceTick_;
    double longestStall_ = 0;
};

}  // namespace

}  // namespace discstart

using namespace discstart;

int main(int argc, char** argv) {
    const StartClock clock = StartClock::OfThisProcess();
    if (argc < 2 || argc > 4) {
        std::fputs("usage: startup_discstart DISC_FOLDER [HOLD_MS [GIVE_UP_MS]]\n", stderr);
        return 2;
    }
    const int holdMs = argc >= 3 ? std::atoi(argv[2]) : 0;
    const int giveUpMs = argc == 4 ? std::atoi(argv[3]) : 20'000;
    const QString folder = QDir::toNativeSeparators(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    int programArgc = 1;  // the program takes no command line
    ProgramParts parts;
    parts.platform = [&] { return std::make_unique<DiscFolderPlatform>(folder); };
    parts.form = [&](Platform& platform) {
        return std::make_unique<WatchedForm>(platform, clock, holdMs, giveUpMs);
    };
    return RunProgram(programArgc, argv, parts);
}
