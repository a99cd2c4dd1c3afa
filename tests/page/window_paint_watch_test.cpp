#include <gtest/gtest.h>

#include <QTest>

#include "page/window_paint_watch.h"

namespace discstart {

namespace {

TEST(WindowPaintWatchTest, CallsOnceAfterItsWindowIsOnScreen) {
    struct Case {
        const char* what;
        bool shownBefore;  // the window is on screen when the watch starts
        bool reparent;     // the widget starts alone and moves into the window
        bool showLater;
        int calls;
    };
    const Case cases[] = {
        {"window shown later", false, false, true, 1},
        {"window already shown", true, false, false, 1},
        {"moved into a shown window", true, true, false, 1},
        {"window never shown", false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] {
            QWidget window;
            window.resize(100, 80);
            if (c.shownBefore) {
                window.show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            }
            auto* widget = c.reparent ? new QWidget : new QWidget(&window);
            int calls = 0;
            new WindowPaintWatch(widget, [&] { ++calls; });
            if (c.reparent) widget->setParent(&window);
            if (c.showLater) window.show();
            QTest::qWait(50);
            window.update();  // later paints call nothing more
            QTest::qWait(20);
            EXPECT_EQ(calls, c.calls);
        }();
    }
}

}  // namespace

}  // namespace discstart
