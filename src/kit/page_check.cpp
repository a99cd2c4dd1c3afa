#include "kit/page_check.h"

#include <QDir>
#include <QFileInfo>

#include "content/file_errors.h"
#include "content/native_name.h"
#include "readers/page_files.h"

namespace discstart {

namespace {

std::string Shown(const std::string& bytes) {
    return DisplayName(NameFromNativeBytes(QByteArray::fromStdString(bytes))).toStdString();
}

// A file named the same but for letter case: found where names ignore case (Windows), missing
// where they do not.
std::string CaseHint(const QString& folder, const std::string& path) {
    const QFileInfo wanted(QDir(folder).filePath(NameFromNativeBytes(QByteArray::fromStdString(path))));
    for (const QString& name : QDir(wanted.path()).entryList(QDir::Files | QDir::Hidden)) {
        if (name != wanted.fileName() && name.compare(wanted.fileName(), Qt::CaseInsensitive) == 0)
            return " (" + DisplayName(name).toStdString() + " is there, which differs only in case)";
    }
    return {};
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
            out.push_back({Severity::Warning, "page-file-missing", Shown(r.from),
                           "refers to " + Shown(r.path) + ", which is not on the disc" +
                               CaseHint(content.directory, r.path) + ": the page shows it missing",
                           "put " + Shown(r.path) + " on the disc (make-disc copies what a page refers to)"});
        }
    }
    return out;
}

}  // namespace discstart
