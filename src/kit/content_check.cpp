#include "kit/content_check.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include "content/file_errors.h"
#include "content/file_read.h"
#include "content/native_name.h"
#include "content/picture.h"

namespace discstart {

namespace {

// Names as the window shows them: bytes that are not UTF-8 read as Windows-1252.
std::string Utf8(const std::string& name) {
    return DisplayName(name).toStdString();
}

// The format the content says, read by the path's exact bytes within the cover's budget.
QByteArray ContentFormat(const std::string& path) {
    auto bytes = ReadFileWithin(path, MaxPictureFileBytes);
    if (!bytes) return {};
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader::imageFormat(&buffer);
}

std::string OthersThanTheFirst(const FileList& list) {
    std::string others;
    for (std::size_t i = 1; i < list.names().size(); ++i)
        others += (i > 1 ? ", " : "") + Utf8(list.names()[i]);
    return others;
}

// Further movies are never shown; say which one wins.
void CheckSeveralMovies(const FileList& list, std::vector<Finding>& out) {
    if (list.ListCount() < 2) return;
    out.push_back({Severity::Warning, "several-movies", "",
                   std::to_string(list.ListCount()) + " movie files: the window uses " + Utf8(list.List(0)) +
                       " and ignores " + OthersThanTheFirst(list),
                   "leave one movie file in the folder"});
}

QByteArray FormatOfName(const QString& name) {
    QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == "jpg" ? QByteArray("jpeg") : suffix.toLatin1();
}

void CheckPicture(const DiscContent& content, std::vector<Finding>& out) {
    if (content.pictures.ListCount() == 0) {
        out.push_back(
            {Severity::Warning, "no-picture", "",
             "no *.jpg, *.bmp or *.gif picture: the cover area shows \"" + std::string(NoPictureNote) + "\"",
             "add a cover picture (JPEG, BMP or GIF)"});
        return;
    }
    std::string name = Utf8(content.pictures.List(0));
    const std::string path = content.picturePath();
    if (const QString error = OpenError(path); !error.isEmpty()) {
        out.push_back(
            {Severity::Error, "picture-unreadable", name,
             "the picture cannot be opened (" + error.toStdString() + "): the cover area stays empty",
             "make it a plain file that everyone may read (chmod a+r)"});
        return;
    }
    QByteArray format = ContentFormat(path);
    if (LoadCoverPicture(path, QSize(32, 32)).isNull()) {
        std::string what = format.isEmpty() ? "holds no picture this launcher can read"
                                            : "holds a " + format.toUpper().toStdString() +
                                                  " picture that does not decode (damaged or too large)";
        out.push_back({Severity::Error, "picture-unreadable", name,
                       "the file " + what + ": the cover area stays empty, without a note",
                       "save the cover again as a JPEG picture"});
        return;
    }
    QByteArray named = FormatOfName(name.c_str());
    if (format != named) {
        out.push_back({Severity::Warning, "picture-format-mismatch", name,
                       "the picture is " + format.toUpper().toStdString() + ", not " +
                           named.toUpper().toStdString() +
                           " as its name says: this launcher shows it, programs that trust the name may not",
                       "save it as a real " + named.toUpper().toStdString() + " picture"});
    }
}

void CheckTitleStrip(const DiscContent& content, std::vector<Finding>& out) {
    const QString name = QtPath(content.movies.List(0));
    QString base = TitleName(name);
    QString strip = content.titleStrip();
    if (strip.startsWith(QChar(' ') + base)) return;
    out.push_back({Severity::Warning, "title-strip-cut", DisplayName(name).toStdString(),
                   "the title strip is cut to \"" + strip.toStdString() + "\"",
                   "shorten the movie's name to " + std::to_string(TitleStripLength - 1) +
                       " characters before " + StripName(name).mid(base.size()).toStdString()});
}

}  // namespace

std::vector<Finding> CheckContent(const DiscContent& content) {
    std::vector<Finding> out;
    if (content.movies.ListCount() == 0) {
        out.push_back(
            {Severity::Error, "no-movie", "",
             "no movie (*.avi, or else *.mp4, *.m4v, *.mov, *.mkv or *.webm): the title strip says \"" +
                 std::string(NoMovieTitle) + "\" and the play button is disabled",
             "put the movie beside the launcher as an .mp4, .mkv, .webm or .avi file"});
    } else {
        CheckSeveralMovies(content.movies, out);
        CheckTitleStrip(content, out);
    }
    // Further pictures and pages are as a rule the page's own, so they are no finding.
    CheckPicture(content, out);
    if (content.pages.ListCount() == 0) {
        out.push_back({Severity::Note, "no-page", "", "no *.htm or *.html page: the page button is hidden",
                       "add an HTML page if the disc should show one"});
    }
    return out;
}

}  // namespace discstart
