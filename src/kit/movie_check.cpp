#include "kit/movie_check.h"

#include "bytes/byte_file.h"
#include "bytes/byte_window.h"
#include "info/film_names.h"
#include "kit/avi_check.h"
#include "kit/film_check.h"
#include "kit/info_check.h"
#include "kit/ogg_check.h"
#include "kit/tag_check.h"
#include "media/container.h"
#include "media/ogg/ogg_media.h"
#include "media/ogg/ogg_streams.h"
#include "media/riff/avi_header.h"
#include "media/riff/avi_layout.h"
#include "media/riff/info_tags.h"
#include "system/system.h"

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
    std::vector<Finding> out;
    // As the panel reads it: a film by its name, else an AVI or Ogg media file, else a film by
    // its content.
    const bool filmName = FilmExtensionLength(path) > 0;
    MovieFileKind kind = MovieFileKind::Other;
    if (!filmName) {
        AviHeaderInfo header;
        kind = ReadAviHeader(*file, length, header);
        if (kind == MovieFileKind::Avi) {
            AviLayout layout = ReadAviLayout(*file, std::uint64_t(*length));
            Append(out, CheckAviLayout(layout, header, name));
            auto list = CheckInfoList(layout, *file, name);
            MovieTags tags;
            DivX::ReadInfoTags(*file, tags);
            auto lines = CheckTagLines(tags, name);
            // A list the launcher misses explains blank lines better than a call to fill them.
            if (!list.empty()) std::erase_if(lines, [](const Finding& f) { return f.code == "no-tags"; });
            Append(out, std::move(list));
            Append(out, std::move(lines));
        }
        if (kind == MovieFileKind::OggMedia) {
            const ByteWindow head = ByteWindow::Read(*file, 0, Ogg::HeadBlock);
            if (!Ogg::IsStandardOgg(head)) {
                Append(out, CheckOggPages(*file, name));
            } else {
                ContainerInfo film;
                Ogg::ReadOggStreams(*file, head, length, film);
                out.push_back(
                    {Severity::Warning, "ogg-named-avi", name,
                     "the movie is a standard Ogg file, not Ogg media, under an AVI name: the panel "
                     "describes it from its streams' own headers, but a player that goes by the "
                     "name may refuse it",
                     "put the movie on the disc as an MP4 (H.264, AAC): ffmpeg -i film.avi -c:v "
                     "libx264 -c:a aac film.mp4"});
                Append(out, CheckFilm(MovieFileKind::Ogg, film, name));
                kind = MovieFileKind::Ogg;
            }
        }
    }
    if (kind == MovieFileKind::Other) {
        ContainerInfo film;
        kind = ReadContainer(*file, *length > 0 ? std::uint64_t(*length) : 0, film);
        if (kind == MovieFileKind::Other) {
            out.push_back({Severity::Error, "movie-not-avi", name,
                           filmName
                               ? "the movie is not the MP4 or Matroska film its name says: the panel "
                                 "shows no facts about it"
                               : "the movie is neither AVI, Ogg media, MP4 nor Matroska: the panel shows "
                                 "no facts about it",
                           filmName ? "name the movie after what it holds, or convert it to MP4 (H.264, AAC)"
                                    : "put the movie on the disc as an MP4 (H.264, AAC) or AVI file"});
        } else {
            if (!filmName) {
                out.push_back(
                    {Severity::Warning, "film-named-avi", name,
                     std::string("the movie is ") + (kind == MovieFileKind::Mp4 ? "an MP4" : "a Matroska") +
                         " film under an AVI name: the panel describes it, but a player that goes by "
                         "the name may refuse it",
                     kind == MovieFileKind::Mp4 ? "name it .mp4" : "name it .mkv (.webm for WebM)"});
            }
            Append(out, CheckFilm(kind, film, name));
            Append(out, CheckTagLines(film.tags, name));
        }
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
