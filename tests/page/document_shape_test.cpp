// What the window lays out, measured on the document the engine built: the engine nests and
// multiplies tables in ways the markup alone does not show.
#include <gtest/gtest.h>

#include <QTextDocument>

#include "page/document_shape.h"
#include "page/scan/page_budgets.h"

namespace discstart {

namespace {

QString Repeat(const QString& text, qint64 count) {
    return text.repeated(count);
}

DocumentShape Built(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return MeasureDocument(document);
}

TEST(DocumentShape, MeasuresWhatTheEngineBuilt) {
    struct Case {
        const char* what;
        QString html;
        int tableDepth;
        qint64 largestTable;
        qint64 longestBlock;
        qint64 longestWord;
    };
    const Case cases[] = {
        {"plain", "<p>hello world</p>", 0, 0, 11, 5},
        {"a line break stays in the paragraph", "<p>ab<br>cd ef", 0, 0, 8, 2},
        {"tables inside a table count with it",
         "<table><tr><td><table><tr><td>a<td>b</table><td>c</table><table><tr><td>d</table>", 2, 4, 1, 1},
        {"a 20 x 20 table inside xmp is built",
         "<xmp><table>" + Repeat("<tr>" + Repeat("<td>x", 20), 20) + "</xmp>", 1, 400, 1, 1},
        // A table ended while the one around it has no cell left leaves the next inside it.
        {"end tags nest tables", "<td><b><tbody><b>" + Repeat("<td>x</table>", 20), 21, 21, 1, 1},
        // An empty tag's node is reused for the cell after it, and counted again in its row.
        {"nameless tags multiply cells", "<table><tr>" + Repeat("<>", 99) + "<td>x", 1, 100, 1, 1},
    };
    for (const Case& c : cases) {
        const DocumentShape shape = Built(c.html);
        EXPECT_EQ(shape.tableDepth, c.tableDepth) << c.what;
        EXPECT_EQ(shape.largestTable, c.largestTable) << c.what;
        EXPECT_EQ(shape.longestBlock, c.longestBlock) << c.what;
        EXPECT_EQ(shape.longestWord, c.longestWord) << c.what;
    }
}

TEST(DocumentShape, BudgetsEachAtItsEdge) {
    struct Case {
        const char* what;
        QString within;
        QString past;
    };
    const Case cases[] = {
        {"tables in tables", Repeat("<table><tr><td>", MaxTableDepth),
         Repeat("<table><tr><td>", MaxTableDepth + 1)},
        {"cells", "<table><tr>" + Repeat("<td>x", MaxTableCells),
         "<table><tr>" + Repeat("<td>x", MaxTableCells + 1)},
        {"a paragraph", "<p>" + Repeat("w ", MaxBlockCharacters / 2),
         "<p>" + Repeat("w ", MaxBlockCharacters / 2) + "w"},
        {"a word", "<p>" + Repeat("w", MaxWordCharacters), "<p>" + Repeat("w", MaxWordCharacters + 1)},
        {"cell padding", QString("<table cellpadding=%1><tr><td>x").arg(MaxFrameSpacing),
         QString("<table cellpadding=%1><tr><td>x").arg(MaxFrameSpacing + 1)},
        {"cell spacing", QString("<table cellspacing=%1><tr><td>x").arg(MaxFrameSpacing),
         QString("<table cellspacing=%1><tr><td>x").arg(MaxFrameSpacing + 1)},
        {"border", QString("<table border=%1><tr><td>x").arg(MaxFrameSpacing),
         QString("<table border=%1><tr><td>x").arg(MaxFrameSpacing + 1)},
        {"a number past any pixel", "<table cellpadding=8><tr><td>x",
         "<table cellpadding=8" + Repeat("8", 90) + "><tr><td>x"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(WithinLayoutBudget(Built(c.within))) << c.what;
        EXPECT_FALSE(WithinLayoutBudget(Built(c.past))) << c.what;
    }
}

}  // namespace

}  // namespace discstart
