#include "disc_check.h"

#include <QDir>

#include <sys/stat.h>

#include "content_check.h"
#include "discovery.h"
#include "movie_check.h"
#include "native_name.h"

namespace {

// By the path's exact bytes: a disc folder's name need not be UTF-8, and Qt's own file
// names would lose such bytes.
bool IsFolder(const QString& folder) {
#ifdef Q_OS_WIN
    return QDir(folder).exists();
#else
    struct stat status {};
    return ::stat(NativePathBytes(folder).constData(), &status) == 0 && S_ISDIR(status.st_mode);
#endif
}

}  // namespace

std::vector<Finding> CheckDisc(const QString& folder) {
    if (!IsFolder(folder)) {
        return {{Severity::Error, "no-folder", DisplayName(folder).toStdString(), "there is no such folder",
                 "give the folder that holds the movie"}};
    }
    DiscContent content = DiscoverContent(folder);
    std::vector<Finding> out = CheckContent(content);
    if (content.movies.ListCount() > 0) {
        auto movie = CheckMovie(NativePathBytes(content.moviePath()).toStdString(),
                                DisplayName(content.movies.List(0)).toStdString());
        out.insert(out.end(), movie.begin(), movie.end());
    }
    return out;
}

int RunDiscCheck(const QString& folder, QTextStream& out) {
    auto findings = CheckDisc(folder);
    for (const auto& finding : findings) out << QString::fromStdString(FindingLine(finding)) << '\n';
    out.flush();
    return ExitStatus(findings);
}
