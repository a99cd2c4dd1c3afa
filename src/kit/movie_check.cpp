#include "kit/movie_check.h"

#include "kit/avi_check.h"
#include "kit/avi_layout.h"
#include "kit/info_check.h"
#include "kit/ogg_check.h"
#include "kit/tag_check.h"
#include "readers/avi_header.h"
#include "readers/byte_file.h"
#include "readers/info_tags.h"

namespace discstart {

namespace {

void Append(std::vector<Finding>& out, std::vector<Finding> more) {
    out.insert(out.end(), more.begin(), more.end());
}

}  // namespace

std::vector<Finding> CheckMovie(const std::string& path, const std::string& name,
                                const std::string& openError) {
    // Every read watched: a read that fails must not pass for a file that ends early.
    const CountingFiles files(DiskFiles());
    auto file = files.open(path);
    auto length = files.length(path);
    if (!file || !length) {
        return {{Severity::Error, "movie-unreadable", name,
                 "the movie cannot be opened (" + (openError.empty() ? "not a plain file" : openError) +
                     "): the panel stays empty",
                 "make it a plain file that everyone may read (chmod a+r)"}};
    }
    AviHeaderInfo header;
    std::vector<Finding> out;
    switch (ReadAviHeader(path, header, files)) {
        case MovieFileKind::Avi: {
            AviLayout layout = ReadAviLayout(*file, std::uint64_t(*length));
            Append(out, CheckAviLayout(layout, name));
            auto list = CheckInfoList(layout, *file, name);
            MovieTags tags;
            DivX::ReadInfoTags(path, tags, files);
            auto lines = CheckTagLines(tags, name);
            // A list the launcher misses explains blank lines better than a call to fill them.
            if (!list.empty()) std::erase_if(lines, [](const Finding& f) { return f.code == "no-tags"; });
            Append(out, std::move(list));
            Append(out, std::move(lines));
            break;
        }
        case MovieFileKind::OggMedia:
            Append(out, CheckOggPages(*file, name));
            break;
        case MovieFileKind::Mp4:
        case MovieFileKind::Matroska:
        case MovieFileKind::Other:
            out.push_back({Severity::Error, "movie-not-avi", name,
                           "the movie is neither AVI nor Ogg media: the panel shows no facts about it",
                           "put the movie on the disc as an AVI file"});
            break;
    }
    if (const std::error_code error = files.counts().error) {
        // The findings above would blame the file's layout for what the medium did.
        return {
            {Severity::Error, "movie-read-error", name,
             "reading the movie failed (" + error.message() + "): the panel would show wrong numbers or none",
             "copy the movie again from a good source, or check the medium and the drive"}};
    }
    return out;
}

}  // namespace discstart
