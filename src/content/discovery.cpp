#include "content/discovery.h"

#include "content/app_path.h"
#include "content/native_name.h"
#include "info/film_names.h"
#include "text/invisible.h"

namespace discstart {

namespace {

// Text cut by characters, never inside a surrogate pair.
QString LeftCharacters(const QString& text, qsizetype count) {
    qsizetype units = 0;
    for (qsizetype seen = 0; seen < count && units < text.size(); ++seen) {
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
    }
    return text.left(units);
}

qsizetype CharacterCount(const QString& text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate())) ++count;
    }
    return count;
}

}  // namespace

QString StripName(const QString& movieName) {
    // The strip is one line: a control character in a file name (a tab, a newline) shows as a
    // space, as do the line and paragraph separators. The other characters that show nothing yet
    // reorder or hide what follows are left out, as on the panel: "Trailer\u202E4pm.exe.mkv"
    // would otherwise read as "Trailervkm.exe.mp4".
    const QString shown = DisplayName(movieName);
    QString out;
    out.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const bool pair =
            shown.at(i).isHighSurrogate() && i + 1 < shown.size() && shown.at(i + 1).isLowSurrogate();
        const char32_t code =
            pair ? QChar::surrogateToUcs4(shown.at(i), shown.at(i + 1)) : shown.at(i).unicode();
        if (IsControl(code) || code == 0x2028 || code == 0x2029) {
            out += QLatin1Char(' ');
        } else if (!IsInvisible(code)) {
            out += shown.mid(i, pair ? 2 : 1);
        }
        if (pair) ++i;
    }
    return out;
}

QString TitleName(const QString& movieName) {
    const QString shown = StripName(movieName);
    // An AVI name loses its last four characters, as it always has; a film found by the film
    // pattern its whole extension (".webm" is five).
    const std::size_t film = FilmExtensionLength(shown.right(8).toStdString());
    const qsizetype drop = film > 0 ? qsizetype(film) : 4;
    return LeftCharacters(shown, std::max<qsizetype>(0, CharacterCount(shown) - drop));
}

QString TitleText(const QString& movieName) {
    return LeftCharacters(QLatin1Char(' ') + TitleName(movieName) + QLatin1Char(' '), TitleStripLength);
}

QString DiscContent::titleStrip() const {
    if (movies.ListCount() == 0) return QString::fromLatin1(NoMovieTitle);
    return TitleText(QtPath(movies.List(0)));
}

std::string DiscContent::moviePath() const {
    return AppFilePath(directory, movies.List(0));
}
std::string DiscContent::picturePath() const {
    return AppFilePath(directory, pictures.List(0));
}
std::string DiscContent::pagePath() const {
    return AppFilePath(directory, pages.List(0));
}

DiscContent DiscoverContent(const std::string& directory) {
    DiscContent content;
    content.directory = directory;
    const std::pair<FileList*, const char*> lists[] = {
        {&content.movies, MoviePattern}, {&content.pictures, PicturePattern}, {&content.pages, PagePattern}};
    for (const auto& [list, pattern] : lists) {
        list->setPattern(QString::fromLatin1(pattern));
        list->setPath(directory);
    }
    // AVI first, so a folder that has one keeps the movie it always had.
    if (content.movies.ListCount() == 0) content.movies.setPattern(QString::fromLatin1(FilmPattern));
    return content;
}

}  // namespace discstart
