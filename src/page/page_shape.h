#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace discstart {

// Budgets of a page in the light engine. Its parsing runs on a worker, but the window lays a
// page out itself, a paragraph or an outermost table at a time, so those are bounded: each
// takes at most some tens of milliseconds. A page past a budget is left out as one that cannot
// be read; a picture or style sheet past one is left out of the page.
inline constexpr qint64 MaxPageBytes = qint64{1024} * 1024;
inline constexpr int MaxPageTags = 50'000;
inline constexpr int MaxPageDepth = 256;
inline constexpr int MaxTableDepth = 8;
// Cells of an outermost table, the tables inside it included.
inline constexpr qint64 MaxTableCells = 1'000;
// Characters of text between two paragraph breaks (a line break does not end one), and of a
// word, whose line breaking costs the square of its length.
inline constexpr qsizetype MaxBlockCharacters = 100'000;
inline constexpr qsizetype MaxWordCharacters = 20'000;
// Rules of the page's style sheets, its own and those it links; each is matched against every
// element.
inline constexpr int MaxStyleRules = 2'000;
// What a page's pictures and style sheets may read, and what its pictures may take decoded.
inline constexpr qint64 MaxPageResourceBytes = 32LL * 1024 * 1024;
inline constexpr qint64 MaxPagePictureBytes = 64LL * 1024 * 1024;

// What a page asks of the engine, measured with a plain scan of its text, before it is parsed.
struct PageShape {
    int tags = 0;
    int depth = 0;
    int tableDepth = 0;
    qint64 largestTable = 0;
    qsizetype longestBlock = 0;
    qsizetype longestWord = 0;
    int styleRules = 0;
    // Where a link to a style sheet without a type ends its name.
    QList<qsizetype> untypedStyleSheets;
};

PageShape MeasurePage(QStringView html);
bool WithinPageBudget(const PageShape& shape);
// The page with `type="text/css"` added to each link to a style sheet without a type (as HTML5
// pages write them), which the engine would otherwise ignore.
QString WithStyleSheetTypes(QString html, const PageShape& shape);
// The rules of a style sheet, as the engine counts them: one per "{".
int StyleRules(QStringView css);

}  // namespace discstart
