// Small files made to freeze the window or fill the machine: the window opens at once and
// leaves out what is past a budget, as it leaves out what it cannot read.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/controls/form_label.h"
#include "app/controls/picture_box.h"
#include "message_box.h"
#include "page/page_view.h"
#include "peak_memory.h"
#include "support/disc_folder.h"
#include "support/jpeg_builder.h"

namespace discstart {

namespace {

TEST(HostileBudgets, CoversPastABudgetAreLeftOut) {
    struct Case {
        const char* what;
        JpegRecipe recipe;
        bool shown;
    };
    const Case cases[] = {
        {"progressive grey 8192 x 8192 with 5000 scans (626 KB)", {8192, 8192, 1, true, 4999}, false},
        {"progressive CMYK 8192 x 8192 (524 KB)", {8192, 8192, 4, true, 0}, false},
        {"baseline grey 8200 x 8200, shown at the cover's size", {8200, 8200, 1, false, 0}, true},
    };
    const qint64 before = PeakMegabytes();
    for (const Case& c : cases) {
        DiscFolder disc;
        disc.add("film.avi", AviWithTitle("Film"));
        disc.add("cover.jpg", BuildJpegAs<QByteArray>(c.recipe));
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        EXPECT_EQ(!ui.Image1->picture().isNull(), c.shown) << c.what;
        EXPECT_TRUE(ui.Label2->isHidden()) << c.what;
        EXPECT_FALSE(MessageBoxShown()) << c.what;
    }
    // Before the budgets the CMYK picture alone took 545 MB.
    EXPECT_LT(PeakMegabytes() - before, 100) << "peak memory grew, MB";
}

QString Repeat(const char* text, int count) {
    return QString::fromLatin1(text).repeated(count);
}

// `pattern` with 0 to count - 1 in it.
std::string Rules(const char* pattern, int count) {
    std::string rules;
    for (int i = 0; i < count; ++i) rules += QString::asprintf(pattern, i).toStdString();
    return rules;
}

// A shown window with the light engine's page view.
struct PageWindow {
    PageWindow() : view(CreatePageView(PageEngine::Text, &window)) {
        window.resize(500, 420);
        view->setGeometry(10, 10, 448, 364);
        window.show();
    }
    // The result loadFinished carried, once the page is laid out and painted; nothing when it
    // never came (a page that keeps the worker busy for minutes).
    std::optional<bool> show(const QString& path) {
        QSignalSpy loads(view, &PageView::loadFinished);
        view->navigate(path);
        if (!loads.wait(60000)) return std::nullopt;
        QTest::qWait(50);
        return loads.first().first().toBool();
    }
    QString text() const { return view->findChild<QTextBrowser*>()->toPlainText(); }

    QWidget window;
    PageView* view;
};

TEST(HostileBudgets, PagesPastABudgetAreLeftOut) {
    struct Case {
        const char* what;
        QString html;
        bool shown;
    };
    const Case cases[] = {
        {"100,000 nested divs (1.1 MB)", Repeat("<div>", 100000) + "deep" + Repeat("</div>", 100000), false},
        {"10,000 nested divs (110 KB)", Repeat("<div>", 10000) + "deep" + Repeat("</div>", 10000), false},
        {"20 nested tables (300 bytes)", Repeat("<table><tr><td>", 20) + "deep", false},
        {"one paragraph of 400,000 words", "<p>" + Repeat("word ", 400000), false},
        {"a word of 40,000 letters", "<p>" + Repeat("a", 40000), false},
        {"a paragraph of 10,000 words", "<p>" + Repeat("word ", 10000), true},
        {"a table of 20,000 cells", "<table><tr>" + Repeat("<td>x</td>", 20000) + "</tr></table>", false},
        // The engine reads no raw text: what xmp holds is built.
        {"a 200 x 200 table in xmp",
         "<xmp><table>" + Repeat(("<tr>" + Repeat("<td>x</td>", 200)).toLatin1(), 200) + "</xmp>", false},
        {"60,000 nested bold in xmp", "<xmp>" + Repeat("<b>", 60000) + "deep</xmp>", false},
        {"60,000 nested bold in a comment", "<!--" + Repeat("<b>", 60000) + "-->deep", true},
        // Tables the engine nests and cells it multiplies, however the markup reads.
        {"end tags nesting 20 tables", "<td><b><tbody><b>" + Repeat("<td>x</table>", 20), false},
        {"a cell counted 2,000 times", "<table><tr>" + Repeat("<>", 2000) + "<td>x", false},
        // Style costs the rules times the elements times their depth, not the bytes.
        {"2,000 descendant rules over elements nested 250 deep (38 KB)",
         "<style>" + QString::fromStdString(Rules("x%d div {}\n", 2000)) + "</style>" + Repeat("<div>", 250) +
             "deep",
         false},
        {"one rule of 5,000 descendant selectors",
         "<style>" + QString::fromStdString(Rules("a%d div, ", 5000)) + "b div {}</style>" +
             Repeat("<div>", 250) + "deep",
         false},
        {"2,000 descendant rules over a flat page",
         "<style>" + QString::fromStdString(Rules("x%d div {}\n", 2000)) + "</style>" +
             Repeat("<div>x</div>", 250),
         true},
        {"an ordinary page", "<h1>Deep Field</h1><table><tr><td>a<td>b</table><p>" + Repeat("word ", 500),
         true},
    };
    for (const Case& c : cases) {
        DiscFolder disc;
        disc.add("intro.htm", c.html.toUtf8());
        PageWindow window;
        EXPECT_EQ(window.show(QDir(disc.path()).filePath("intro.htm")), std::optional(c.shown)) << c.what;
        EXPECT_EQ(!window.text().isEmpty(), c.shown) << c.what;
    }
}

TEST(HostileBudgets, A200MegabytePageIsLeftOutUnread) {
    DiscFolder disc;
    QFile page(QDir(disc.path()).filePath("intro.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<p>");
    ASSERT_TRUE(page.resize(200LL * 1024 * 1024));  // sparse: costs the disc nothing
    page.close();
    const qint64 before = PeakMegabytes();
    PageWindow window;
    EXPECT_EQ(window.show(page.fileName()), std::optional(false));
    EXPECT_LT(PeakMegabytes() - before, 50) << "peak memory grew, MB";
}

// One big picture named under a hundred query strings is read and decoded once.
TEST(HostileBudgets, APictureUnderManyNamesIsDecodedOnce) {
    DiscFolder disc;
    disc.add("big.jpg", BuildJpegAs<QByteArray>({4096, 4096, 1, false, 0}));  // 16 MB decoded
    QString html;
    for (int i = 0; i < 100; ++i) html += QStringLiteral("<img src=\"big.jpg?%1\">").arg(i);
    disc.add("intro.htm", html.toUtf8());
    const qint64 before = PeakMegabytes();
    PageWindow window;
    EXPECT_EQ(window.show(QDir(disc.path()).filePath("intro.htm")), std::optional(true));
    // Before, each name was a picture of its own: 3.37 GB for a 32 MB one.
    EXPECT_LT(PeakMegabytes() - before, 250) << "peak memory grew, MB";
}

// One style sheet named 5,000 ways (query strings, a fragment, dot names, through a link and an
// @import of an imported sheet) is handed to the engine once.
TEST(HostileBudgets, AStyleSheetUnderManyNamesIsParsedOnce) {
    DiscFolder disc;
    disc.add("s.css",
             QByteArray::fromStdString(Rules("p.c%d { color: #123456 }\n", 1400)) + "p { color: #00ff00 }");
    disc.add("more.css", "@import 's.css?more'; @import './s.css';");
    QString imports;
    for (int i = 0; i < 5000; ++i) imports += QStringLiteral("@import \"s.css?%1\";\n").arg(i);
    disc.add("intro.htm",
             ("<head><style>" + imports + "@import 'more.css'; @import 'x/../s.css#top';</style>" +
              "<link rel=stylesheet href='s.css?link'></head><p>green</p>")
                 .toUtf8());
    const qint64 before = PeakMegabytes();
    PageWindow window;
    EXPECT_EQ(window.show(QDir(disc.path()).filePath("intro.htm")), std::optional(true));
    const QTextCursor green = window.view->findChild<QTextBrowser*>()->document()->find("green");
    ASSERT_FALSE(green.isNull());
    EXPECT_EQ(green.charFormat().foreground().color(), QColor(0, 255, 0));
    // Before, each name was parsed and matched again: 2 GB in 10 s, then a crash.
    EXPECT_LT(PeakMegabytes() - before, 100) << "peak memory grew, MB";
}

}  // namespace

}  // namespace discstart
