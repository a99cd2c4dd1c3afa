#include <QTextDocument>

#include "check_support.h"
#include "content/page_text.h"
#include "page/document_shape.h"
#include "page/page_document.h"
#include "page/scan/html_shape.h"
#include "page/scan/style_sheets.h"
#include "qt_checks.h"

namespace discstart {

Problems CheckPage(FileBytes file) {
    Problems problems;
    const std::string html =
        DecodePageText(QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size())))
            .toStdString();
    const HtmlShape shape = MeasureHtml(html);
    // Each tag makes at most a table and a row besides its own element.
    Expect(shape.depth <= 3 * shape.tags, problems, "nesting deeper than the tags that make it");
    Expect(shape.all.visits >= 0 && shape.all.depth >= shape.all.visits, problems,
           "a style cost below its visits");
    for (const StyleEvent& event : shape.styleEvents) {
        Expect(event.inlineSheet < 0 || event.length <= html.size(), problems,
               "a style text longer than the page");
    }

    const std::string typed = WithStyleSheetTypes(html, shape);
    Expect(typed.size() == html.size() + shape.untypedStyleSheets.size() * (sizeof(" type=\"text/css\"") - 1),
           problems, "style sheet types added other than where asked");
    Expect(MeasureHtml(typed).untypedStyleSheets.empty(), problems,
           "a linked style sheet left without a type");
    // The page's own text stands in for every sheet it links.
    const PageStyle style = MeasurePageStyle(shape, [&html](const std::string&) { return html; });
    if (!WithinPageBudget(shape, style)) return problems;

    // No folder: the page reads nothing, as a page whose files are all outside its folder.
    PageDocument document(PageFolder(), QUrl(QStringLiteral("file:///disc/intro.htm")));
    document.setHtml(QString::fromStdString(typed));
    if (!WithinLayoutBudget(MeasureDocument(document))) return problems;
    document.loadPictures();
    document.seal();
    document.setTextWidth(448);
    const QSizeF size = document.size();
    Expect(size.width() >= 0 && size.height() >= 0, problems, "a page laid out with a negative size");
    return problems;
}

}  // namespace discstart
