#include <gtest/gtest.h>

#include "page/page_shape.h"

namespace discstart {

namespace {

QString Repeat(const char* text, int count) {
    return QString::fromLatin1(text).repeated(count);
}

TEST(PageShape, MeasuresWhatTheLayoutPaysFor) {
    struct Shape {
        int tags;
        int depth;
        int tableDepth;
        qint64 largestTable;
        qsizetype longestBlock;
        qsizetype longestWord;
        int styleRules;
    };
    struct Case {
        const char* what;
        QString html;
        Shape shape;
    };
    const Case cases[] = {
        {"plain", "<p>hello</p>", {1, 1, 0, 0, 5, 5, 0}},
        {"paragraphs close each other", "<p>a<p>b<p>c", {3, 1, 0, 0, 1, 1, 0}},
        {"list items close each other", "<ul><li>a<li>b</ul><ul><li>c</ul>", {5, 2, 0, 0, 1, 1, 0}},
        {"unclosed bold nests", Repeat("<b>", 40) + "x", {40, 40, 0, 0, 1, 1, 0}},
        {"void elements never nest", Repeat("<br><img src=a.png>", 30), {60, 0, 0, 0, 0, 0, 0}},
        {"stray end tags", "</i></div><div>x</span></div>", {1, 1, 0, 0, 1, 1, 0}},
        {"a table of cells that close each other",
         "<table><tr><td>a<td>b<tr><td>c</table>",
         {6, 3, 1, 4, 1, 1, 0}},
        {"spans widen and lengthen a table",
         "<table><tr><td colspan=\"5\" rowspan=3>a</td></tr></table>",
         {3, 3, 1, 15, 1, 1, 0}},
        {"tables inside a table count with it",
         "<table><tr><td><table><tr><td>a<td>b</table><td>c</table><table><tr><td>d</table>",
         {11, 6, 2, 4, 1, 1, 0}},
        {"a table left open", "<table><tr><td>a<td>b<td>c", {5, 3, 1, 3, 1, 1, 0}},
        {"comments, scripts and quoted > hide tags",
         "<!-- <div><div> --><script>if (a<b) document.write('<table>')</script><a title=\"x>y\" "
         "href='>'>t</a>",
         {2, 1, 0, 0, 1, 1, 0}},
        {"line breaks stay in the paragraph", "<p>" + Repeat("abcd<br>", 10), {11, 1, 0, 0, 40, 4, 0}},
        {"white space runs count once", "<p>a" + Repeat(" \n\t", 50) + "b", {1, 1, 0, 0, 3, 1, 0}},
        {"preformatted lines are paragraphs",
         "<pre>" + Repeat("12345\n", 9) + "</pre>",
         {1, 1, 0, 0, 5, 5, 0}},
        {"style rules",
         "<style>p { color: red } a { x: y }</style><style>b{}</style>",
         {2, 1, 0, 0, 0, 0, 3}},
        {"a tag never ended", "<p>ab<div class='x", {2, 2, 0, 0, 2, 2, 0}},
    };
    for (const Case& c : cases) {
        const PageShape shape = MeasurePage(c.html);
        EXPECT_EQ(shape.tags, c.shape.tags) << c.what;
        EXPECT_EQ(shape.depth, c.shape.depth) << c.what;
        EXPECT_EQ(shape.tableDepth, c.shape.tableDepth) << c.what;
        EXPECT_EQ(shape.largestTable, c.shape.largestTable) << c.what;
        EXPECT_EQ(shape.longestBlock, c.shape.longestBlock) << c.what;
        EXPECT_EQ(shape.longestWord, c.shape.longestWord) << c.what;
        EXPECT_EQ(shape.styleRules, c.shape.styleRules) << c.what;
    }
}

TEST(PageShape, LinkedStyleSheetsGetTheTypeTheEngineWants) {
    struct Case {
        QString html;
        QString typed;
    };
    const Case cases[] = {
        {"<link rel=\"stylesheet\" href=\"a.css\">",
         "<link type=\"text/css\" rel=\"stylesheet\" href=\"a.css\">"},
        {"<LINK REL=StyleSheet HREF=a.css><p>x", "<LINK type=\"text/css\" REL=StyleSheet HREF=a.css><p>x"},
        {"<link href='a.css' rel = ' stylesheet '/>",
         "<link type=\"text/css\" href='a.css' rel = ' stylesheet '/>"},
        {"<link rel=stylesheet type=text/css href=a.css>", "<link rel=stylesheet type=text/css href=a.css>"},
        {"<link rel=\"alternate stylesheet\" href=a.css>", "<link rel=\"alternate stylesheet\" href=a.css>"},
        {"<link rel=icon href=a.ico>", "<link rel=icon href=a.ico>"},
        {"<!-- <link rel=stylesheet href=a.css> -->", "<!-- <link rel=stylesheet href=a.css> -->"},
        {"<link rel=stylesheet href=a.css><link rel=stylesheet href=b.css>",
         "<link type=\"text/css\" rel=stylesheet href=a.css><link type=\"text/css\" rel=stylesheet "
         "href=b.css>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithStyleSheetTypes(c.html, MeasurePage(c.html)), c.typed) << c.html.toStdString();
}

TEST(PageShape, BudgetsEachAtItsEdge) {
    struct Case {
        const char* what;
        QString within;
        QString past;
    };
    const Case cases[] = {
        {"nesting", Repeat("<div>", MaxPageDepth), Repeat("<div>", MaxPageDepth + 1)},
        {"tables in tables", Repeat("<table><tr><td>", MaxTableDepth),
         Repeat("<table><tr><td>", MaxTableDepth + 1)},
        {"cells", "<table><tr>" + Repeat("<td>x", MaxTableCells),
         "<table><tr>" + Repeat("<td>x", MaxTableCells + 1)},
        {"a paragraph", "<p>" + Repeat("w ", MaxBlockCharacters / 2),
         "<p>" + Repeat("w ", MaxBlockCharacters / 2) + "w"},
        {"a word", "<p>" + QString(MaxWordCharacters, QLatin1Char('w')),
         "<p>" + QString(MaxWordCharacters + 1, QLatin1Char('w'))},
        {"tags", Repeat("<br>", MaxPageTags), Repeat("<br>", MaxPageTags + 1)},
        {"style rules", "<style>" + Repeat("p{}", MaxStyleRules) + "</style>",
         "<style>" + Repeat("p{}", MaxStyleRules + 1) + "</style>"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(WithinPageBudget(MeasurePage(c.within))) << c.what;
        EXPECT_FALSE(WithinPageBudget(MeasurePage(c.past))) << c.what;
    }
}

}  // namespace

}  // namespace discstart
