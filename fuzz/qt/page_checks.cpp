#include <QTextDocument>

#include "check_support.h"
#include "page/page_document.h"
#include "page/page_shape.h"
#include "page/page_text.h"
#include "qt_checks.h"

namespace discstart {

Problems CheckPage(FileBytes file) {
    Problems problems;
    const QString html =
        DecodePageText(QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size())));
    const PageShape shape = MeasurePage(html);
    Expect(shape.depth <= shape.tags, problems, "nesting deeper than the tags that make it");
    Expect(shape.tableDepth <= shape.depth, problems, "tables nested deeper than elements");
    Expect(shape.longestBlock <= html.size(), problems, "a paragraph longer than the page");
    Expect(shape.largestTable >= 0 && shape.styleRules >= 0, problems, "a negative count");

    const QString typed = WithStyleSheetTypes(html, shape);
    Expect(typed.size() ==
               html.size() + shape.untypedStyleSheets.size() * qsizetype(sizeof(" type=\"text/css\"") - 1),
           problems, "style sheet types added other than where asked");
    Expect(MeasurePage(typed).untypedStyleSheets.isEmpty(), problems,
           "a linked style sheet left without a type");
    if (!WithinPageBudget(shape)) return problems;

    // No folder: the page reads nothing, as a page whose files are all outside its folder.
    PageDocument document(PageFolder(), QUrl(QStringLiteral("file:///disc/intro.htm")), shape.styleRules);
    document.setHtml(typed);
    document.loadPictures();
    document.seal();
    document.setTextWidth(448);
    const QSizeF size = document.size();
    Expect(size.width() >= 0 && size.height() >= 0, problems, "a page laid out with a negative size");
    return problems;
}

}  // namespace discstart
