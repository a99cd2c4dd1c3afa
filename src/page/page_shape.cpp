#include "page/page_shape.h"

#include <QHash>
#include <QList>
#include <algorithm>

namespace discstart {

namespace {

enum Flag : unsigned { Void = 1, RawText = 2, BreaksBlock = 4 };
// Elements one of which ends where the next of its family starts, within its bounds.
enum class Family { None, Paragraph, Item, Definition, Cell, Row, Option };
enum Bound : unsigned { List = 1, Definitions = 2, RowBound = 4, TableBound = 8, TopOnly = ~0u };

struct Element {
    unsigned flags = 0;
    Family family = Family::None;
    unsigned bounds = 0;  // the families it stops from closing across it
};

unsigned BoundsOf(Family family) {
    switch (family) {
        case Family::Item:
            return List;
        case Family::Definition:
            return Definitions;
        case Family::Cell:
            return RowBound;
        case Family::Row:
            return TableBound;
        default:
            return TopOnly;
    }
}

const QHash<QString, Element>& Elements() {
    static const QHash<QString, Element> elements = [] {
        QHash<QString, Element> e;
        for (const char* n : {"area", "base", "basefont", "br", "col", "embed", "frame", "hr", "img", "input",
                              "isindex", "keygen", "link", "meta", "param", "source", "track", "wbr"})
            e[QLatin1String(n)].flags |= Void;
        // Their content is not laid out as text.
        for (const char* n : {"script", "style", "textarea", "title", "xmp"})
            e[QLatin1String(n)].flags |= RawText;
        for (const char* n : {"address", "blockquote", "body",  "caption", "center", "dd", "div", "dl",
                              "dt",      "form",       "h1",    "h2",      "h3",     "h4", "h5",  "h6",
                              "head",    "hr",         "html",  "li",      "ol",     "p",  "pre", "table",
                              "tbody",   "td",         "tfoot", "th",      "thead",  "tr", "ul"})
            e[QLatin1String(n)].flags |= BreaksBlock;
        e[QStringLiteral("p")].family = Family::Paragraph;
        e[QStringLiteral("li")].family = Family::Item;
        e[QStringLiteral("dt")].family = Family::Definition;
        e[QStringLiteral("dd")].family = Family::Definition;
        e[QStringLiteral("td")].family = Family::Cell;
        e[QStringLiteral("th")].family = Family::Cell;
        e[QStringLiteral("tr")].family = Family::Row;
        e[QStringLiteral("option")].family = Family::Option;
        e[QStringLiteral("ul")].bounds = List;
        e[QStringLiteral("ol")].bounds = List;
        e[QStringLiteral("dl")].bounds = Definitions;
        e[QStringLiteral("tr")].bounds = RowBound;
        e[QStringLiteral("table")].bounds = RowBound | TableBound;
        return e;
    }();
    return elements;
}

struct Open {
    QString name;
    Element element;
};

struct Table {
    qint64 rows = 0;
    qint64 rowsSpanned = 0;  // rows that cells reach down to
    qint64 columns = 0;      // of the row being read
    qint64 widest = 0;
    qint64 nestedCells = 0;
    qint64 cells() const { return std::max(rows, rowsSpanned) * widest + nestedCells; }
};

class Scanner {
  public:
    explicit Scanner(QStringView html) : html_(html) {}

    // Stops at the first budget passed: past it the answer is known, and the scan stays linear.
    PageShape run() {
        while (at_ < html_.size() && WithinPageBudget(shape_)) {
            if (html_[at_] == QLatin1Char('<') && tag()) continue;
            text(html_[at_]);
            ++at_;
        }
        while (!tables_.isEmpty()) closeTable();
        return shape_;
    }

  private:
    QChar peek(qsizetype offset = 0) const {
        return at_ + offset < html_.size() ? html_[at_ + offset] : QChar();
    }

    void text(QChar c) {
        if (pre_ > 0 && c == QLatin1Char('\n')) {
            breakBlock();
            return;
        }
        // A run of white space shows as one space, outside pre.
        const bool space = c.isSpace();
        if (space && lastWasSpace_ && pre_ == 0) return;
        lastWasSpace_ = space;
        shape_.longestBlock = std::max(shape_.longestBlock, ++block_);
        word_ = space ? 0 : word_ + 1;
        shape_.longestWord = std::max(shape_.longestWord, word_);
    }

    void breakBlock() {
        block_ = 0;
        word_ = 0;
    }

    void skipPast(QStringView end) {
        const qsizetype found = html_.indexOf(end, at_, Qt::CaseInsensitive);
        at_ = found < 0 ? html_.size() : found + end.size();
    }

    QString name() {
        QString n;
        while (at_ < html_.size() &&
               (peek().isLetterOrNumber() || peek() == QLatin1Char('-') || peek() == QLatin1Char(':'))) {
            n += peek().toLower();
            ++at_;
        }
        return n;
    }

    // Reads a tag at `<`; false when the `<` is plain text.
    bool tag() {
        if (html_.mid(at_).startsWith(QLatin1String("<!--"))) {
            skipPast(u"-->");
            return true;
        }
        const QChar next = peek(1);
        if (next == QLatin1Char('!') || next == QLatin1Char('?')) {
            skipPast(u">");
            return true;
        }
        if (next == QLatin1Char('/') && peek(2).isLetter()) {
            at_ += 2;
            const QString n = name();
            skipPast(u">");
            close(n);
            return true;
        }
        if (!next.isLetter()) return false;
        ++at_;
        const QString n = name();
        const qsizetype nameEnd = at_;
        const Attributes found = attributes();
        // The engine applies a linked style sheet only when its type is given.
        if (n == QLatin1String("link") && found.styleSheet && !found.typed)
            shape_.untypedStyleSheets.append(nameEnd);
        open(n, found.selfClosing, found.colspan, found.rowspan);
        if (Elements().value(n).flags & RawText) {
            const qsizetype start = at_;
            skipPast(QString(QStringLiteral("</") + n));
            if (n == QLatin1String("style")) shape_.styleRules += StyleRules(html_.mid(start, at_ - start));
            skipPast(u">");
            close(n);
        }
        return true;
    }

    struct Attributes {
        bool selfClosing = false;
        qint64 colspan = 1;
        qint64 rowspan = 1;
        bool styleSheet = false;  // rel="stylesheet"
        bool typed = false;       // has a type
    };

    // Up to the end of the start tag; quoted values may hold ">".
    Attributes attributes() {
        Attributes found;
        while (at_ < html_.size() && peek() != QLatin1Char('>')) {
            const QChar c = peek();
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                const qsizetype close = html_.indexOf(c, at_ + 1);
                at_ = close < 0 ? html_.size() : close + 1;
                continue;
            }
            if (c.isLetter()) {
                const QString attribute = name();
                const QStringView v = value();
                if (attribute == QLatin1String("colspan")) found.colspan = Span(v);
                if (attribute == QLatin1String("rowspan")) found.rowspan = Span(v);
                if (attribute == QLatin1String("rel"))
                    found.styleSheet =
                        v.trimmed().compare(QLatin1String("stylesheet"), Qt::CaseInsensitive) == 0;
                if (attribute == QLatin1String("type")) found.typed = true;
                continue;
            }
            found.selfClosing = c == QLatin1Char('/');
            ++at_;
        }
        ++at_;
        return found;
    }

    // An attribute's value after "=", quoted or not; empty when it has none.
    QStringView value() {
        qsizetype from = at_;
        while (from < html_.size() && html_[from].isSpace()) ++from;
        if (from >= html_.size() || html_[from] != QLatin1Char('=')) return {};
        ++from;
        while (from < html_.size() && html_[from].isSpace()) ++from;
        at_ = from;
        const QChar quote = peek();
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            const qsizetype close = html_.indexOf(quote, at_ + 1);
            const qsizetype end = close < 0 ? html_.size() : close;
            at_ = close < 0 ? html_.size() : close + 1;
            return html_.mid(from + 1, end - from - 1);
        }
        while (at_ < html_.size() && !peek().isSpace() && peek() != QLatin1Char('>')) ++at_;
        return html_.mid(from, at_ - from);
    }

    // A span counts as at least 1 and at most 1000.
    static qint64 Span(QStringView v) {
        qint64 value = 0;
        for (qsizetype i = 0; i < v.size() && v[i].isDigit(); ++i)
            value = std::min<qint64>(value * 10 + v[i].digitValue(), 1000);
        return std::max<qint64>(value, 1);
    }

    void open(const QString& n, bool selfClosing, qint64 colspan, qint64 rowspan) {
        ++shape_.tags;
        const Element element = Elements().value(n);
        if (element.flags & BreaksBlock) breakBlock();
        if (n == QLatin1String("br")) word_ = 0;
        impliedClose(element.family);
        if (n == QLatin1String("tr") && !tables_.isEmpty()) {
            ++tables_.last().rows;
            tables_.last().columns = 0;
        }
        if ((n == QLatin1String("td") || n == QLatin1String("th")) && !tables_.isEmpty()) {
            Table& table = tables_.last();
            if (table.rows == 0) table.rows = 1;
            table.columns += colspan;
            table.widest = std::max(table.widest, table.columns);
            table.rowsSpanned = std::max(table.rowsSpanned, table.rows + rowspan - 1);
        }
        if ((element.flags & Void) || selfClosing) return;
        stack_.append({n, element});
        shape_.depth = std::max(shape_.depth, int(stack_.size()));
        if (n == QLatin1String("table")) {
            tables_.append(Table{});
            shape_.tableDepth = std::max(shape_.tableDepth, int(tables_.size()));
        }
        if (n == QLatin1String("pre")) ++pre_;
    }

    // A paragraph, list item or cell ends where the next of its family starts.
    void impliedClose(Family family) {
        if (family == Family::None) return;
        const unsigned bounds = BoundsOf(family);
        for (qsizetype i = stack_.size() - 1; i >= 0; --i) {
            if (stack_[i].element.family == family) {
                popTo(i);
                return;
            }
            if (bounds == TopOnly || (stack_[i].element.bounds & bounds)) return;
        }
    }

    void close(const QString& n) {
        if (Elements().value(n).flags & BreaksBlock) breakBlock();
        for (qsizetype i = stack_.size() - 1; i >= 0; --i) {
            if (stack_[i].name == n) {
                popTo(i);
                return;
            }
        }
    }

    void popTo(qsizetype index) {
        while (stack_.size() > index) {
            const QString n = stack_.takeLast().name;
            if (n == QLatin1String("table")) closeTable();
            if (n == QLatin1String("pre")) --pre_;
        }
    }

    void closeTable() {
        const qint64 cells = tables_.takeLast().cells();
        if (tables_.isEmpty()) {
            shape_.largestTable = std::max(shape_.largestTable, cells);
        } else {
            tables_.last().nestedCells += cells;
        }
    }

    QStringView html_;
    qsizetype at_ = 0;
    PageShape shape_;
    QList<Open> stack_;
    QList<Table> tables_;
    qsizetype block_ = 0;
    qsizetype word_ = 0;
    bool lastWasSpace_ = false;
    int pre_ = 0;
};

}  // namespace

PageShape MeasurePage(QStringView html) {
    return Scanner(html).run();
}

bool WithinPageBudget(const PageShape& shape) {
    return shape.tags <= MaxPageTags && shape.depth <= MaxPageDepth && shape.tableDepth <= MaxTableDepth &&
           shape.largestTable <= MaxTableCells && shape.longestBlock <= MaxBlockCharacters &&
           shape.longestWord <= MaxWordCharacters && shape.styleRules <= MaxStyleRules;
}

QString WithStyleSheetTypes(QString html, const PageShape& shape) {
    for (qsizetype i = shape.untypedStyleSheets.size() - 1; i >= 0; --i)
        html.insert(shape.untypedStyleSheets.at(i), QLatin1String(" type=\"text/css\""));
    return html;
}

int StyleRules(QStringView css) {
    return int(css.count(QLatin1Char('{')));
}

}  // namespace discstart
