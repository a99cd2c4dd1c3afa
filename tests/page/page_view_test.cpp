#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

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

// A disc may name its folder and page with bytes that are not UTF-8: the picture beside the
// page still shows and its links still open.
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

}  // namespace

}  // namespace discstart
