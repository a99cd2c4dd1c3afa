#include "kit/page_check.h"

#include <QDir>
#include <QFileInfo>

#include "content/file_errors.h"
#include "content/native_name.h"
#include "content/page_text.h"
#include "page/scan/page_files.h"
#include "system/system.h"

namespace discstart {

namespace {

std::string Shown(const std::string& bytes) {
    return DisplayName(bytes).toStdString();
}

// What the viewer sees of a file the page may not load, and what to do about it.
struct Wording {
    const char* code;
    const char* why;
    const char* todo;
};

Wording WordingOf(PageRefusal refusal) {
    switch (refusal) {
        case PageRefusal::Outside:
            return {"page-file-outside", "which lies outside the disc folder: the page does not show it",
                    "put the file on the disc and refer to it by a relative path"};
        case PageRefusal::Hidden:
            return {"page-file-hidden",
                    "which is hidden: the page does not show it and no disc made from it carries it",
                    "give the file and its folders names that do not start with '.' (on Windows, clear their "
                    "hidden "
                    "and system attributes), or leave the reference out"};
        case PageRefusal::LinkOutside:
            return {
                "page-file-link-outside",
                "which is a link that leads out of the disc folder: the page does not show it and no disc "
                "made from it carries it",
                "put the file itself in the folder instead of a link"};
        case PageRefusal::Special:
            return {"page-file-special",
                    "which is not a plain file (a folder, device, FIFO, socket or system file): the page "
                    "does not "
                    "show it",
                    "refer to a plain file"};
        case PageRefusal::Unreadable:
            return {"page-file-unreadable", "which cannot be read: the page does not show it",
                    "make it a plain file that everyone may read (chmod a+r)"};
        case PageRefusal::TooLarge:
            return {"page-file-too-large",
                    "which is larger than a page may read (1 MiB for a page or style sheet, 32 MiB for a "
                    "picture): "
                    "the page leaves it out",
                    "make it smaller"};
        case PageRefusal::Missing:
        case PageRefusal::None:
            break;
    }
    return {"page-file-missing", "which is not on the disc: the page shows it missing",
            "put it on the disc (make-disc copies what a page refers to)"};
}

// A file named the same but for letter case: found where names ignore case (Windows), missing
// where they do not.
std::string CaseHint(const std::string& folder, const std::string& path) {
    const QFileInfo wanted(QDir(QtPath(folder)).filePath(QtPath(path)));
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
    const std::string page = Shown(content.pages.List(0));
    if (const QString error = OpenError(content.pagePath()); !error.isEmpty()) {
        out.push_back(
            {Severity::Error, "page-unreadable", page,
             "the page cannot be opened (" + error.toStdString() + "): the page button shows nothing",
             "make it a plain file that everyone may read (chmod a+r)"});
        return out;
    }
    const auto references =
        PageReferences(content.directory, content.pages.List(0), DiskFiles(), DecodePageBytes);
    for (const PageReference& r : references) {
        if (r.refusal == PageRefusal::None) continue;
        if (r.from.empty()) {
            out.push_back(
                {Severity::Warning, "page-too-large", page,
                 "the page is larger than the page view reads (1 MiB): the page button shows a blank "
                 "page",
                 "make it smaller: move parts of it into pages it links, and pictures into files of "
                 "their own"});
            continue;
        }
        const Wording wording = WordingOf(r.refusal);
        const std::string named = Shown(r.path.empty() ? r.reference : r.path);
        if (r.refusal == PageRefusal::Missing) {
            out.push_back({Severity::Warning, wording.code, Shown(r.from),
                           "refers to " + named + ", which is not on the disc" +
                               CaseHint(content.directory, r.path) + ": the page shows it missing",
                           "put " + named + " on the disc (make-disc copies what a page refers to)"});
            continue;
        }
        out.push_back({Severity::Warning, wording.code, Shown(r.from),
                       "refers to " + named + ", " + wording.why, wording.todo});
    }
    return out;
}

}  // namespace discstart
