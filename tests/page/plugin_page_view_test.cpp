// The program's WebEngine view: nothing loads before its window is painted, then the
// library's view (or the text engine without it) gets what was asked for meanwhile.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "page/plugin_page_view.h"
#include "page_site.h"

namespace discstart {

namespace {

TEST(PluginPageViewTest, LoadsItsEngineAfterThePaintAndHandsOnThePage) {
    QTemporaryDir empty;
    struct Case {
        const char* what;
        QStringList folders;
        QString engine;
    };
    const Case cases[] = {
        {"library found", QStringList{empty.path()} + WebEnginePluginFolders(), QStringLiteral("WebEngine")},
        {"library missing", {empty.path()}, QStringLiteral("Text")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] {
            LocalSite site;
            const QString intro = site.writeIntro({}, {});
            QWidget window;
            window.resize(500, 420);
            auto* view = new PluginPageView(c.folders, &window);
            view->setGeometry(10, 10, 448, 364);
            view->hide();
            QSignalSpy loads(view, &PageView::loadFinished);
            view->setOffline(true);
            view->navigate(intro);
            QTest::qWait(50);
            EXPECT_EQ(view->engine(), nullptr);
            EXPECT_EQ(view->currentUrl(), QUrl::fromLocalFile(intro));
            EXPECT_FALSE(view->setDesignModeOff());

            window.show();
            ASSERT_TRUE(QTest::qWaitFor([&] { return view->engine() != nullptr; }, 5000));
            EXPECT_EQ(view->engineName(), c.engine);
            EXPECT_EQ(view->engine()->parentWidget(), view);
            ASSERT_TRUE(loads.wait(20000));
            EXPECT_TRUE(loads.first().first().toBool());
            EXPECT_EQ(view->currentUrl(), QUrl::fromLocalFile(intro));
            EXPECT_TRUE(view->setDesignModeOff());
            EXPECT_FALSE(view->isVisible());
        }();
    }
}

TEST(PluginPageViewTest, WebEngineOnlyOnTheMachinesQt) {
    struct Case {
        const char* what;
        QByteArray qtCore;
        QByteArray program;
        bool machine;
    };
    const Case cases[] = {
        {"installed", "/usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2", "/usr/bin", true},
        {"build tree", "/usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2", "/work/build/src/app", true},
        {"a disc's own", "/media/cdrom/linux/lib/libQt6Core.so.6", "/media/cdrom", false},
        {"a disc at the root", "/linux/lib/libQt6Core.so.6", "/", false},
        {"a sibling whose name starts alike", "/media/cdrom2/lib/libQt6Core.so.6", "/media/cdrom", true},
        {"unknown", "", "/media/cdrom", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsMachineQt(c.qtCore, c.program), c.machine) << c.what;
    EXPECT_TRUE(RunsOnMachineQt());  // the tests run on the machine's Qt
}

}  // namespace

}  // namespace discstart
