#include "page/document_shape.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "page/scan/page_budgets.h"

namespace discstart {

namespace {

bool BreaksLine(QChar c) {
    return c.isSpace() && c != QChar::Nbsp && c.unicode() != 0x2007 && c.unicode() != 0x202F;
}

qint64 Cells(const QTextFrame* frame) {
    const auto* table = qobject_cast<const QTextTable*>(frame);
    return table != nullptr ? qint64(table->rows()) * table->columns() : 0;
}

// Frames may nest as deep as the page makes them: walked without recursion.
void MeasureTables(const QTextDocument& document, DocumentShape& shape) {
    struct Visit {
        QTextFrame* frame;
        int tables;               // tables it lies in, itself included
        const QTextFrame* outer;  // its outermost table
    };
    std::vector<Visit> pending{{document.rootFrame(), 0, nullptr}};
    std::unordered_map<const QTextFrame*, qint64> outermost;  // cells so far
    while (!pending.empty()) {
        const Visit visit = pending.back();
        pending.pop_back();
        shape.tableDepth = std::max(shape.tableDepth, visit.tables);
        const QTextFrameFormat format = visit.frame->frameFormat();
        double spacings[] = {format.border(),
                             format.padding(),
                             format.topMargin(),
                             format.bottomMargin(),
                             format.leftMargin(),
                             format.rightMargin(),
                             0,
                             0};
        if (format.isTableFormat()) {
            spacings[6] = format.toTableFormat().cellPadding();
            spacings[7] = format.toTableFormat().cellSpacing();
        }
        for (const double spacing : spacings) {
            // NaN counts as too wide too.
            if (!(std::abs(spacing) <= shape.widestSpacing)) shape.widestSpacing = std::abs(spacing);
        }
        const QTextFrame* outer = visit.outer;
        if (outer == nullptr && qobject_cast<QTextTable*>(visit.frame) != nullptr) outer = visit.frame;
        if (outer != nullptr) {
            qint64& cells = outermost[outer];
            cells += Cells(visit.frame);
            shape.largestTable = std::max(shape.largestTable, cells);
        }
        for (QTextFrame* child : visit.frame->childFrames()) {
            const bool table = qobject_cast<QTextTable*>(child) != nullptr;
            pending.push_back({child, visit.tables + (table ? 1 : 0), outer});
        }
    }
}

}  // namespace

DocumentShape MeasureDocument(const QTextDocument& document) {
    DocumentShape shape;
    MeasureTables(document, shape);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        shape.longestBlock = std::max(shape.longestBlock, qint64(text.size()));
        qint64 word = 0;
        for (const QChar c : text) {
            word = BreaksLine(c) ? 0 : word + 1;
            shape.longestWord = std::max(shape.longestWord, word);
        }
    }
    return shape;
}

bool WithinLayoutBudget(const DocumentShape& shape) {
    return shape.tableDepth <= MaxTableDepth && shape.largestTable <= MaxTableCells &&
           shape.longestBlock <= MaxBlockCharacters && shape.longestWord <= MaxWordCharacters &&
           shape.widestSpacing <= MaxFrameSpacing;
}

}  // namespace discstart
