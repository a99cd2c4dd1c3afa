#include "disc_check.h"

#include <QDir>

#include "content_check.h"
#include "discovery.h"
#include "movie_check.h"
#include "native_name.h"

std::vector<Finding> CheckDisc(const QString& folder) {
    if (!QDir(folder).exists()) {
        return {{Severity::Error, "no-folder", folder.toStdString(), "there is no such folder",
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
