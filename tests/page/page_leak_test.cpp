// A page made to get out, tried the ways pages were seen to get out: nothing may reach the
// network, whether or not the window set the view offline, only local links open, and nothing
// outside the page's folder may be read.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <iostream>

#include "leak_site.h"
#include "page_probe.h"
#include "page_site.h"
#include "private_network.h"

namespace discstart {

namespace {

TEST(PageViewTest, OnlyLocalLinksOpen) {
    ConnectionCounter server;
    struct Case {
        QString href;
        QString landsOn;  // empty: the view stays on intro.htm and loads nothing
    };
    const Case cases[] = {
        {QStringLiteral("second.htm"), QStringLiteral("second.htm")},
        {QStringLiteral("mailto:someone@example.org"), {}},
        {server.url(QStringLiteral("page.htm")), {}},
    };
    LocalSite site;
    const QString body =
        QStringLiteral("<p><a href=\"mailto:someone@example.org\">mail</a> <a href=\"%1\">web</a></p>")
            .arg(server.url(QStringLiteral("page.htm")));
    const QString intro = site.writeIntro({}, body);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.href.toStdString());
        [&] {
            PageHost host;
            host.view->setOffline(true);
            ASSERT_TRUE(NavigateAndWait(*host.view, intro));
            const bool follows = !c.landsOn.isEmpty();
            EXPECT_EQ(ClickAndCountLoads(*host.view, c.href, follows), follows ? 1 : 0)
                << c.href.toStdString();
            const QString expected = follows ? site.path(c.landsOn) : intro;
            EXPECT_EQ(host.view->currentUrl(), QUrl::fromLocalFile(expected)) << c.href.toStdString();
        }();
    }
    EXPECT_EQ(server.connections(), 0);
}

TEST(PageLeakTest, NothingReachesTheNetwork) {
    for (const bool offline : {true, false}) {
        SCOPED_TRACE(offline ? "offline" : "not set offline");
        LeakSite site;
        PageHost host;
        host.view->setOffline(offline);
        ASSERT_TRUE(NavigateAndWait(*host.view, site.pagePath()));
        const QString title = WaitForLeakPage(*host.view);
        // The scripts ran to their end: the page was not led away.
        EXPECT_EQ(title.startsWith(QLatin1String("done")), EngineRunsScripts()) << title.toStdString();
        EXPECT_TRUE(CoverImageShown(*host.view));
        EXPECT_EQ(site.datagrams(), 0);
        EXPECT_EQ(site.connections(), 0);
        EXPECT_TRUE(site.received().isEmpty()) << site.received().toStdString();
        if (!InPrivateNetwork()) {
            std::cout << "[ NOTE ] not root: packets counted at the listeners only\n";
            continue;
        }
        EXPECT_EQ(site.packetsSent(), 0) << InterfaceCounters().toStdString();
    }
}

TEST(PageLeakTest, NothingOutsideThePageFolderIsRead) {
    LeakSite site;
    PageHost host;
    ASSERT_TRUE(NavigateAndWait(*host.view, site.pagePath()));
    const QString title = WaitForLeakPage(*host.view);
    EXPECT_TRUE(CoverImageShown(*host.view));
    if (EngineRunsScripts()) {
        ASSERT_TRUE(title.startsWith(QLatin1String("done "))) << title.toStdString();
        const QJsonObject got = QJsonDocument::fromJson(title.mid(5).toUtf8()).object();
        EXPECT_EQ(got.value(QLatin1String("inside")).toString(), QStringLiteral("inside"));
        for (const char* read : {"absolute", "up", "link", "sub", "hidden", "sibling", "fetch", "fetchUp"})
            EXPECT_EQ(got.value(QLatin1String(read)).toString(), QStringLiteral("refused")) << read;
        EXPECT_EQ(got.value(QLatin1String("outsideImages")).toString(), QStringLiteral("0"));
    }
    for (const QString& href :
         {QStringLiteral("../outside/secret.htm"),
          QStringLiteral("file://") + site.outsidePath() + QStringLiteral("/secret.htm")}) {
        EXPECT_EQ(ClickAndCountLoads(*host.view, href, false), 0) << href.toStdString();
    }
    EXPECT_EQ(host.view->currentUrl(), QUrl::fromLocalFile(site.pagePath()));
    EXPECT_EQ(site.outsideReads(), 0) << "opens and reads outside the folder";
}

}  // namespace

}  // namespace discstart
