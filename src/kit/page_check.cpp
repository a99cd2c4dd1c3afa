#include "kit/page_check.h"

#include "content/file_errors.h"
#include "content/native_name.h"
#include "readers/page_files.h"

namespace discstart {

namespace {

std::string Shown(const std::string& bytes) {
    return DisplayName(NameFromNativeBytes(QByteArray::fromStdString(bytes))).toStdString();
}

}  // namespace

std::vector<Finding> CheckPage(const DiscContent& content) {
    std::vector<Finding> out;
    if (content.pages.ListCount() == 0) return out;
    const std::string page = Shown(NativePathBytes(content.pages.List(0)).toStdString());
    if (const QString error = OpenError(content.pagePath()); !error.isEmpty()) {
        out.push_back(
            {Severity::Error, "page-unreadable", page,
             "the page cannot be opened (" + error.toStdString() + "): the page button shows nothing",
             "make it a plain file that everyone may read (chmod a+r)"});
        return out;
    }
    const auto references = PageReferences(NativePathBytes(content.directory).toStdString(),
                                           NativePathBytes(content.pages.List(0)).toStdString());
    for (const PageReference& r : references) {
        if (r.target == LinkTarget::Outside) {
            out.push_back(
                {Severity::Warning, "page-file-outside", Shown(r.from),
                 "refers to " + Shown(r.reference) + ", outside the disc folder: the page does not show it",
                 "put the file on the disc and refer to it by a relative path"});
        } else if (!r.present) {
            out.push_back(
                {Severity::Warning, "page-file-missing", Shown(r.from),
                 "refers to " + Shown(r.path) + ", which is not on the disc: the page shows it missing",
                 "put " + Shown(r.path) + " on the disc (make-disc copies what a page refers to)"});
        }
    }
    return out;
}

}  // namespace discstart
