#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "page/web_offline.h"
#include "page/web_page_view.h"
#include "page_probe.h"
#include "page_site.h"
#include "web_script.h"

namespace discstart {

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
    EXPECT_EQ(host.view->findChild<QWebEngineView*>(), nullptr);
    EXPECT_EQ(host.view->currentUrl(), QUrl::fromLocalFile(intro));
    EXPECT_FALSE(host.view->setDesignModeOff());

    host.window.show();
    EXPECT_EQ(host.view->findChild<QWebEngineView*>(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(host.view->findChild<QWebEngineView*>() != nullptr, 5000);
    ASSERT_TRUE(loads.wait(20000));
    EXPECT_TRUE(loads.first().first().toBool());
    EXPECT_FALSE(host.view->isVisible());
    EXPECT_EQ(host.view->findChild<QWebEngineView*>()->url(), QUrl::fromLocalFile(intro));
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
        EXPECT_NE(view->findChild<QWebEngineView*>(), nullptr) << c.when;
    }
}

TEST(WebPageViewTest, RequestsStayInThePageFolder) {
    QTemporaryDir dir;
    const QString disc = dir.filePath(QStringLiteral("disc"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    QDir().mkpath(disc + QStringLiteral("/sub"));
    QDir().mkpath(outside);
    for (const QString& name : {disc + QStringLiteral("/intro.htm"), disc + QStringLiteral("/sub/x.png"),
                                outside + QStringLiteral("/secret.txt")}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    QFile::link(outside + QStringLiteral("/secret.txt"), disc + QStringLiteral("/out.txt"));
    QFile::link(outside, disc + QStringLiteral("/out"));
    QFile::link(disc + QStringLiteral("/sub/x.png"), disc + QStringLiteral("/in.png"));
    const PageFolder folder(disc + QStringLiteral("/intro.htm"));
    const QString file = QStringLiteral("file://") + disc;
    struct Case {
        QString url;
        bool allowed;
    };
    const Case cases[] = {
        {file + QStringLiteral("/intro.htm"), true},
        {file + QStringLiteral("/sub/x.png"), true},
        {file + QStringLiteral("/in.png"), true},
        {file, false},  // a folder: its listing would name hidden files
        {file + QStringLiteral("/.ssh/id_rsa"), false},
        {file + QStringLiteral("/missing.png"), false},
        {file + QStringLiteral("/../outside/secret.txt"), false},
        {QStringLiteral("file://") + outside + QStringLiteral("/secret.txt"), false},
        {file + QStringLiteral("/out.txt"), false},
        {file + QStringLiteral("/out/secret.txt"), false},
        {QStringLiteral("file://host") + disc + QStringLiteral("/intro.htm"), false},
        {QStringLiteral("file:///etc/passwd"), false},
        {QStringLiteral("data:text/plain,x"), true},
        {QStringLiteral("blob:file:///0b7e2d3c-5a8e-4f7a-9d6e-1f2a3b4c5d6e"), true},
        {QStringLiteral("http://127.0.0.1/"), false},
        {QStringLiteral("https://example.org/"), false},
        {QStringLiteral("ws://127.0.0.1/"), false},
        {QStringLiteral("ftp://example.org/x"), false},
        {QStringLiteral("qrc:/x.png"), false},
        {QStringLiteral("chrome://gpu"), false},
        {QStringLiteral("about:blank"), false},
    };
    for (const Case& c : cases) EXPECT_EQ(PageMayLoad(QUrl(c.url), folder), c.allowed) << c.url.toStdString();
    EXPECT_FALSE(PageMayLoad(QUrl(file + QStringLiteral("/intro.htm")), PageFolder()));
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

}  // namespace discstart
