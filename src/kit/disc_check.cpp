#include "kit/disc_check.h"

#include <filesystem>

#include "content/discovery.h"
#include "content/file_errors.h"
#include "content/native_name.h"
#include "kit/content_check.h"
#include "kit/movie_check.h"
#include "kit/page_check.h"
#include "system/system.h"
#include "text/control_escape.h"

namespace discstart {

namespace {

// By the path's exact bytes: a disc folder's name need not be UTF-8, and Qt's own file
// names would lose such bytes.
std::filesystem::file_status Status(const std::string& path) {
    std::error_code error;
    return std::filesystem::status(FileSystemPath(path), error);
}

// What keeps the folder from being read at all, or nothing.
std::optional<Finding> FolderProblem(const std::string& folder) {
    const std::string name = DisplayName(folder).toStdString();
    const auto status = Status(folder);
    if (std::filesystem::is_regular_file(status)) {
        return Finding{Severity::Error, "not-a-folder", name, "this is a file, not a disc folder",
                       "give the folder that holds the movie"};
    }
    if (!std::filesystem::is_directory(status)) {
        return Finding{Severity::Error, "no-folder", name, "there is no such folder",
                       "give the folder that holds the movie"};
    }
    if (const QString error = ListError(folder); !error.isEmpty()) {
        return Finding{Severity::Error, "folder-unreadable", name,
                       "the folder cannot be listed (" + error.toStdString() +
                           "): the window finds no movie, picture or page in it",
                       "let everyone read and enter the folder (chmod a+rx)"};
    }
    return std::nullopt;
}

}  // namespace

std::vector<Finding> CheckDisc(const std::string& folder) {
    if (auto problem = FolderProblem(folder)) return {*problem};
    DiscContent content = DiscoverContent(folder);
    std::vector<Finding> out = CheckContent(content);
    if (content.movies.ListCount() > 0) {
        auto movie = CheckMovie(content.moviePath(), DisplayName(content.movies.List(0)).toStdString(),
                                OpenError(content.moviePath()).toStdString());
        out.insert(out.end(), movie.begin(), movie.end());
    }
    auto page = CheckPage(content);
    out.insert(out.end(), page.begin(), page.end());
    return out;
}

int RunDiscCheck(const std::string& folder, QTextStream& out) {
    auto findings = CheckDisc(folder);
    // Names and tags may hold control characters: escaped, a finding stays one line.
    for (const auto& finding : findings) {
        out << QString::fromStdString(EscapeControlCharacters(FindingLine(finding))) << '\n';
    }
    out.flush();
    return ExitStatus(findings);
}

}  // namespace discstart
