// A page made to get out, tried the ways pages were seen to get out: nothing may reach the
// network, whether or not the window set the view offline.
#include <gtest/gtest.h>

#include <QTest>
#include <iostream>

#include "leak_site.h"
#include "page_probe.h"
#include "page_site.h"
#include "private_network.h"

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

}  // namespace
