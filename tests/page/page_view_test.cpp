#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <QFile>
#include <QFileInfo>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdio>
#include <utility>

#include "content/native_name.h"
#include "page_probe.h"
#include "page_site.h"

namespace discstart {

namespace {

TEST(PageViewTest, LoadsLocalPageWithImageBeside) {
    LocalSite site;
    PageHost host;
    const QString intro = site.writeIntro({}, {});
    ASSERT_TRUE(NavigateAndWait(*host.view, intro));
    EXPECT_EQ(host.view->currentUrl(), QUrl::fromLocalFile(intro));
    EXPECT_TRUE(CoverImageShown(*host.view));
}

#ifndef _WIN32
// A disc may name its folder and page with bytes that are not UTF-8: the picture beside the
// page still shows and its links still open. Windows names are UTF-16 text, not bytes.
TEST(PageViewTest, LoadsPageNamedWithBytesThatAreNotUtf8) {
    LocalSite site;
    const QString intro = site.writeIntro({}, {});
    const QByteArray from = QFile::encodeName(QFileInfo(intro).absolutePath()) + '/';
    const QByteArray folder = from + "Caf\xE9 %41/";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    const std::pair<QByteArray, QByteArray> moves[] = {
        {"intro.htm", "\xE0 intro.htm"}, {"cover.png", "cover.png"}, {"second.htm", "second.htm"}};
    for (const auto& [name, to] : moves) {
        ASSERT_EQ(std::rename((from + name).constData(), (folder + to).constData()), 0) << name.constData();
    }
    PageHost host;
    ASSERT_TRUE(NavigateAndWait(*host.view, NameFromNativeBytes(folder + "\xE0 intro.htm")));
    EXPECT_TRUE(CoverImageShown(*host.view));
    EXPECT_EQ(ClickAndCountLoads(*host.view, QStringLiteral("second.htm"), true), 1);
    EXPECT_EQ(host.view->currentUrl(), LocalFileUrl(NameFromNativeBytes(folder + "second.htm")));
}
#endif

TEST(PageViewTest, LoadResultFollowsTheFile) {
    struct Case {
        const char* name;
        bool ok;
    };
    const Case cases[] = {{"intro.htm", true}, {"missing.htm", false}, {"nested/none.html", false}};
    LocalSite site;
    site.writeIntro({}, {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        [&] {
            PageHost host;
            QSignalSpy spy(host.view, &PageView::loadFinished);
            host.view->navigate(site.path(QString::fromLatin1(c.name)));
            ASSERT_TRUE(spy.wait(20000)) << c.name;
            EXPECT_EQ(spy.first().first().toBool(), c.ok) << c.name;
        }();
    }
}

TEST(PageViewTest, DesignModeNeedsADocument) {
    LocalSite site;
    PageHost host;
    EXPECT_FALSE(host.view->setDesignModeOff());
    EXPECT_FALSE(NavigateAndWait(*host.view, site.path(QStringLiteral("missing.htm"))));
    EXPECT_FALSE(host.view->setDesignModeOff());
    ASSERT_TRUE(NavigateAndWait(*host.view, site.writeIntro({}, {})));
    EXPECT_TRUE(host.view->setDesignModeOff());
}

}  // namespace

}  // namespace discstart
