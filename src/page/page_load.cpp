#include "page/page_load.h"

#include <string_view>

#include "bytes/byte_file.h"
#include "content/native_name.h"
#include "content/page_text.h"
#include "page/document_shape.h"
#include "page/scan/html_shape.h"
#include "page/scan/page_budgets.h"
#include "page/scan/style_sheets.h"

namespace discstart {

PageDocumentPointer LoadPage(const PageRequest& request) {
    PageFile file = request.folder.openPath(request.path);
    QByteArray bytes;
    if (file.refusal != PageRefusal::None || !ReadWhole(*file.file, MaxPageBytes, bytes)) return {};
    // Measured in the very text the engine is given.
    const std::string html = DecodePageText(bytes).toStdString();
    const HtmlShape shape = MeasureHtml(html);
    if (!WithinPageBudget(shape)) return {};

    PageDocumentPointer document(new PageDocument(request.folder, LocalFileUrl(request.path)));
    const PageStyle style = MeasurePageStyle(
        shape, [&document](const std::string& name) { return document->readStyleSheet(name); });
    if (!WithinPageBudget(shape, style)) return {};
    for (const std::string& name : style.handed) document->useStyleSheet(name);
    document->setDefaultFont(request.font);
    document->setHtml(QString::fromStdString(WithStyleSheetTypes(html, shape)));
    if (!WithinLayoutBudget(MeasureDocument(*document))) return {};
    document->loadPictures();
    document->seal();
    document->moveToThread(request.thread);
    return document;
}

}  // namespace discstart
