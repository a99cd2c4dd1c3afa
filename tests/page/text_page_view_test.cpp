#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "content/page_text.h"
#include "page/page_document.h"
#include "page/text_page_view.h"
#include "page_site.h"
#include "support/symbolic_link.h"

namespace discstart {

namespace {

TEST(TextPageViewTest, PageReadsOnlyItsFolder) {
    struct Case {
        const char* name;
        bool served;
    };
    const Case cases[] = {
        {"cover.png", true},
        {"FILE_URL", true},
        {"./nested/../cover.png", true},
        {"cover.png?again", true},
        {"missing.png", false},
        {"/etc/passwd", false},
        {"file:///etc/passwd", false},
        {"../../../../../../../../etc/passwd", false},
        {"outside.png", false},  // a link out of the folder
        {"http://127.0.0.1:9/cover.png", false},
        {"https://example.org/cover.png", false},
        {"ftp://example.org/cover.png", false},
        {"data:image/png;base64,iVBORw0KGgo=", false},
        {"qrc:/cover.png", false},
        {"//example.org/cover.png", false},
    };
    LocalSite site;
    const QString intro = site.writeIntro({}, {});
    const QTemporaryDir outside;
    ASSERT_TRUE(
        QFile::copy(site.path(QStringLiteral("cover.png")), outside.filePath(QStringLiteral("cover.png"))));
    if (!MakeSymbolicLink(outside.filePath(QStringLiteral("cover.png")).toStdString(),
                          site.path(QStringLiteral("outside.png")).toStdString()))
        GTEST_SKIP() << "this system made no symbolic links for us";
    QDir().mkpath(site.path(QStringLiteral("nested")));
    PageDocument document(PageFolder(intro), QUrl::fromLocalFile(intro));
    for (const Case& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        const QUrl url =
            name == QLatin1String("FILE_URL") ? QUrl::fromLocalFile(site.path("cover.png")) : QUrl(name);
        const QImage picture = document.loadResource(QTextDocument::ImageResource, url).value<QImage>();
        EXPECT_EQ(picture.width() == LocalSite::kImageWidth, c.served) << c.name;
    }
    // Once sealed, the window's thread reads nothing more, and what was read stays.
    document.seal();
    EXPECT_EQ(
        document.loadResource(QTextDocument::ImageResource, QUrl("cover.png?other")).value<QImage>().width(),
        1);
    EXPECT_EQ(document.resource(QTextDocument::ImageResource, QUrl("cover.png")).value<QImage>().width(),
              LocalSite::kImageWidth);
}

TEST(TextPageViewTest, DecodesPagesInTheirCharset) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"caf\xC3\xA9", QStringLiteral(u"café")},
        {"caf\xE9 \x80", QStringLiteral(u"café €")},
        // As the tag lines read them: an undefined byte keeps its own code point.
        {"\x91it\x92s\x81", QStringLiteral(u"\u2018it\u2019s\u0081")},
        {"\xEF\xBB\xBFol\xC3\xA9", QStringLiteral(u"olé")},
        {"<meta charset=\"iso-8859-1\">\xE9\x80", QStringLiteral(u"<meta charset=\"iso-8859-1\">é\u0080")},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\xC3\xA9",
         QStringLiteral(u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">é")},
        {"", QString()},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodePageText(c.bytes), c.text) << c.bytes.toStdString();
}

TEST(TextPageViewTest, ShowsWindows1252PageText) {
    LocalSite site;
    site.write("latin.htm",
               "<html><body><p>Gr\xFC\xDF"
               "e</p></body></html>");
    TextPageView view;
    ASSERT_TRUE(NavigateAndWait(view, site.path("latin.htm")));
    EXPECT_EQ(view.findChild<QTextBrowser*>()->toPlainText(), QStringLiteral(u"Grüße"));
}

TEST(TextPageViewTest, AppliesLinkedStyleSheetsWithOrWithoutType) {
    for (const char* type : {"", " type=\"text/css\""}) {
        LocalSite site;
        site.write("style.css", "p { color: #00ff00 }");
        site.write("styled.htm", QByteArray("<html><head><link rel=\"stylesheet\" href=\"style.css\"") +
                                     type + "></head><body><p>green</p></body></html>");
        TextPageView view;
        ASSERT_TRUE(NavigateAndWait(view, site.path("styled.htm")));
        const QTextDocument* document = view.findChild<QTextBrowser*>()->document();
        const QTextCursor green = document->find(QStringLiteral("green"));
        ASSERT_FALSE(green.isNull()) << type;
        EXPECT_EQ(green.charFormat().foreground().color(), QColor(0, 255, 0)) << type;
    }
}

TEST(TextPageViewTest, MissingPageKeepsTheShownOne) {
    LocalSite site;
    TextPageView view;
    const QString intro = site.writeIntro({}, {});
    ASSERT_TRUE(NavigateAndWait(view, intro));
    EXPECT_FALSE(NavigateAndWait(view, site.path("missing.htm")));
    EXPECT_FALSE(NavigateAndWait(view, QString()));
    EXPECT_EQ(view.currentUrl(), QUrl::fromLocalFile(intro));
    EXPECT_TRUE(view.findChild<QTextBrowser*>()->isReadOnly());
}

TEST(TextPageViewTest, ReadsThePageOnceItsWindowIsPainted) {
    struct Case {
        const char* what;
        bool inWindow;
        bool windowShown;  // before the view is made
        bool readAtOnce;
    };
    const Case cases[] = {
        {"in a hidden window", true, false, false},
        {"in a shown window", true, true, true},
        {"a window of its own", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] {
            LocalSite site;
            const QString intro = site.writeIntro({}, QStringLiteral("<p>later</p>"));
            QWidget window;
            window.resize(300, 200);
            if (c.windowShown) window.show();
            auto* view = c.inWindow ? new TextPageView(&window) : new TextPageView;
            std::unique_ptr<TextPageView> own(c.inWindow ? nullptr : view);
            view->hide();
            QSignalSpy loads(view, &PageView::loadFinished);
            view->navigate(intro);
            EXPECT_EQ(view->currentUrl(), QUrl::fromLocalFile(intro));
            // Read on a worker: never inside navigate().
            const auto* browser = view->findChild<QTextBrowser*>();
            EXPECT_FALSE(browser->toPlainText().contains("later"));
            EXPECT_EQ(loads.wait(c.readAtOnce ? 5000 : 100), c.readAtOnce);
            if (!c.readAtOnce) window.show();
            ASSERT_TRUE(loads.count() == 1 || loads.wait(5000));
            EXPECT_TRUE(loads.first().first().toBool());
            EXPECT_TRUE(browser->toPlainText().contains("later"));
            EXPECT_TRUE(view->setDesignModeOff());
        }();
    }
}

TEST(PageEngineTest, CreatesTheAskedEngineWhenBuilt) {
    struct Case {
        PageEngine engine;
        QString name;
    };
    const Case cases[] = {{PageEngine::Text, QStringLiteral("Text")},
                          {PageEngine::WebEngine, QStringLiteral("WebEngine")}};
    EXPECT_EQ(DefaultPageEngine(), CONFIGURED_PAGE_ENGINE);
    EXPECT_TRUE(PageEngineAvailable(DefaultPageEngine()));
    for (const Case& c : cases) {
        QWidget parent;
        PageView* view = CreatePageView(c.engine, &parent);
        EXPECT_EQ(view->parent(), &parent);
        const QString expected = PageEngineAvailable(c.engine) ? c.name : QStringLiteral("Text");
        EXPECT_EQ(view->engineName(), expected);
    }
}

}  // namespace

}  // namespace discstart
