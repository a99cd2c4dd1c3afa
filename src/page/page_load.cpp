#include "page/page_load.h"

#include <QFile>

#include "content/native_name.h"
#include "page/page_shape.h"
#include "page/page_text.h"

namespace discstart {

PageDocumentPointer LoadPage(const PageRequest& request) {
    QFile file;
    if (!request.folder.holdsPath(request.path) || !OpenNativeFile(file, request.path)) return {};
    const QByteArray bytes = file.read(MaxPageBytes + 1);
    if (bytes.size() > MaxPageBytes) return {};
    const QString html = DecodePageText(bytes);
    const PageShape shape = MeasurePage(html);
    if (!WithinPageBudget(shape)) return {};

    PageDocumentPointer document(
        new PageDocument(request.folder, LocalFileUrl(request.path), shape.styleRules));
    document->setDefaultFont(request.font);
    document->setHtml(WithStyleSheetTypes(html, shape));
    document->loadPictures();
    document->seal();
    document->moveToThread(request.thread);
    return document;
}

}  // namespace discstart
