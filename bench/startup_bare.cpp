// The yardstick for the program's start: a bare Qt window of the launcher's size, shown
// and quit after its first paint, measured the same way.
#include <QApplication>
#include <QWidget>

#include "app/form1_design.h"
#include "app/twips.h"
#include "start_report.h"

using namespace discstart;

int main(int argc, char** argv) {
    const StartClock clock = StartClock::OfThisProcess();
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(TwipsToPixels(Form1Design().width), TwipsToPixels(Form1Design().height));
    new FirstPaintWatch(window, [&] {
        StartMarks marks;
        marks.shown = clock.millisecondsSinceStart();
        marks.shownCpu = ProcessCpuMilliseconds();
        PrintStartReport(clock, marks);
        QCoreApplication::quit();
    });
    window.show();
    return app.exec();
}
