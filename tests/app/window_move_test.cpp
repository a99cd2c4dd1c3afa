// The move that stands in for a window manager: the window follows the mouse and never
// leaves the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include "app/window_move.h"

namespace discstart {

namespace {

void SendMouse(QWidget& window, QEvent::Type type, QPoint global, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(global - window.pos()), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
}

}  // namespace

TEST(ManualMove, FollowsTheMouseAndKeepsAGripOnScreen) {
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(465, 397);
    window.show();
    const QRect area = window.screen()->availableGeometry();
    const QPoint start = area.topLeft() + QPoint(100, 100);
    const QPoint grip(60, 10);  // where the press landed in the window
    const int keep = 24;        // of the window's width and of its top row
    struct Case {
        const char* what;
        QPoint mouse;
        QPoint topLeft;
    } cases[] = {
        {"on screen", area.topLeft() + QPoint(300, 200), area.topLeft() + QPoint(240, 190)},
        {"far up and left", area.topLeft() - QPoint(5000, 5000), {area.left() - 465 + keep, area.top()}},
        {"far down and right",
         area.bottomRight() + QPoint(5000, 5000),
         {area.right() - keep, area.bottom() - keep}},
        {"far left only",
         QPoint(area.left() - 5000, area.top() + 300),
         {area.left() - 465 + keep, area.top() + 290}},
        {"far down only",
         QPoint(area.left() + 300, area.bottom() + 5000),
         {area.left() + 240, area.bottom() - keep}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.move(start);
        QCursor::setPos(start + grip);
        StartManualWindowMove(window);
        SendMouse(window, QEvent::MouseMove, c.mouse, Qt::LeftButton);
        EXPECT_EQ(window.pos(), c.topLeft);
        SendMouse(window, QEvent::MouseButtonRelease, c.mouse, Qt::NoButton);
        SendMouse(window, QEvent::MouseMove, start, Qt::NoButton);
        EXPECT_EQ(window.pos(), c.topLeft) << "moved after the release";
    }
}

}  // namespace discstart
