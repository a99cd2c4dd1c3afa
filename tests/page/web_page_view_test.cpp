#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "page_probe.h"
#include "page_site.h"
#include "web_page_view.h"
#include "web_script.h"

namespace {

// The window of the program: a hidden page view inside a top-level widget.
struct HiddenPageWindow {
    HiddenPageWindow() : view(new WebPageView(&window)) {
        window.resize(500, 420);
        view->setGeometry(10, 10, 448, 364);
        view->hide();
    }
    QWidget window;
    WebPageView* view;
};

TEST(WebPageViewTest, EngineWaitsForTheWindowAndThenLoadsTheRememberedPage) {
    LocalSite site;
    const QString intro = site.writeIntro({}, {});
    HiddenPageWindow host;
    QSignalSpy loads(host.view, &PageView::loadFinished);
    host.view->setOffline(true);
    host.view->navigate(intro);
    QTest::qWait(100);
    EXPECT_EQ(host.view->engineView(), nullptr);
    EXPECT_EQ(host.view->currentUrl(), QUrl::fromLocalFile(intro));
    EXPECT_FALSE(host.view->setDesignModeOff());

    host.window.show();
    EXPECT_EQ(host.view->engineView(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(host.view->engineView() != nullptr, 5000);
    ASSERT_TRUE(loads.wait(20000));
    EXPECT_TRUE(loads.first().first().toBool());
    EXPECT_FALSE(host.view->isVisible());
    EXPECT_EQ(host.view->engineView()->url(), QUrl::fromLocalFile(intro));
}

TEST(WebPageViewTest, EngineStartsWhenMadeInsideAShownWindow) {
    struct Case {
        const char* when;
        bool reparent;
    };
    const Case cases[] = {{"created in the shown window", false}, {"moved into the shown window", true}};
    for (const Case& c : cases) {
        QWidget window;
        window.show();
        WebPageView* view = c.reparent ? new WebPageView : new WebPageView(&window);
        QSignalSpy created(view, &WebPageView::engineCreated);
        if (c.reparent) view->setParent(&window);
        EXPECT_TRUE(created.wait(5000)) << c.when;
        EXPECT_NE(view->engineView(), nullptr) << c.when;
    }
}

TEST(WebPageViewTest, InterceptorAloneKeepsAnOpenedPageOffline) {
    ConnectionCounter server;
    LocalSite site;
    const QString body =
        QStringLiteral("<img src=\"%1\"><iframe src=\"%2\"></iframe>")
            .arg(server.url(QStringLiteral("remote.png")), server.url(QStringLiteral("frame.htm")));
    const QString intro = site.writeIntro({}, body);
    PageHost host;
    auto* view = static_cast<WebPageView*>(host.view);
    view->setOffline(true);
    QTRY_VERIFY_WITH_TIMEOUT(view->engineView() != nullptr, 5000);
    // Lift Chromium's own rule for file pages: only the interceptor stands in the way now.
    view->engineView()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    ASSERT_TRUE(NavigateAndWait(*view, intro));
    QTest::qWait(500);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(CoverImageShown(*view));
}

TEST(WebPageViewTest, DesignModeIsSwitchedOffInThePage) {
    LocalSite site;
    PageHost host;
    ASSERT_TRUE(NavigateAndWait(
        *host.view, site.writeIntro({}, QStringLiteral("<script>document.designMode = 'on';</script>"))));
    EXPECT_EQ(RunScript(*host.view, QStringLiteral("document.designMode")).toString(), QStringLiteral("on"));
    EXPECT_TRUE(host.view->setDesignModeOff());
    EXPECT_EQ(RunScript(*host.view, QStringLiteral("document.designMode")).toString(), QStringLiteral("off"));
}

}  // namespace
