#pragma once

#include <QFont>
#include <QObject>
#include <QString>
#include <memory>

#include "page/page_document.h"
#include "page/page_folder.h"

class QThread;

namespace discstart {

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};
using PageDocumentPointer = std::unique_ptr<PageDocument, DeleteLater>;

struct PageRequest {
    QString path;
    PageFolder folder;  // what the page may read
    QFont font;
    QThread* thread = nullptr;  // where the document goes
};

// Reads, measures and parses a page and reads its pictures, on a worker thread: the document,
// moved to the request's thread, or null when the page cannot be read or is past a budget.
PageDocumentPointer LoadPage(const PageRequest& request);

}  // namespace discstart
