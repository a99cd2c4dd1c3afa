#pragma once

#include <QtGlobal>

class QTextDocument;

namespace discstart {

// What laying a page out costs the window, measured on the document the light engine built
// (on the worker, before the window sees it): the window lays out a paragraph or an outermost
// table at a time, and a table nested in a table costs many times its size. Measured on what
// the engine built, whatever markup built it: the engine nests tables and multiplies cells in
// ways no reading of the markup foresees.
struct DocumentShape {
    int tableDepth = 0;
    qint64 largestTable = 0;   // cells of an outermost table, the tables inside it included
    qint64 longestBlock = 0;   // characters of a paragraph (a line break does not end one)
    qint64 longestWord = 0;    // characters between two places a line may break
    double widestSpacing = 0;  // pixels of a frame's border, padding, margin, cell padding or spacing
};

DocumentShape MeasureDocument(const QTextDocument& document);
bool WithinLayoutBudget(const DocumentShape& shape);

}  // namespace discstart
