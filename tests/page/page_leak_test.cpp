// A page made to get out, tried the ways pages were seen to get out: nothing may reach the
// network, whether or not the window set the view offline, and nothing outside the page's
// folder may be read.
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
