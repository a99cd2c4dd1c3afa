#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "content/app_path.h"
#include "content/discovery.h"
#include "content/native_name.h"

namespace discstart {

namespace {

struct TitleCase {
    QString movieName;
    QString title;
};

TEST(TitleText, DropsTheExtensionAndCutsTo64Characters) {
    const QString seventy(70, 'n');
    const TitleCase cases[] = {
        {"My Movie.avi", " My Movie "},
        {"MOVIE.AVI", " MOVIE "},
        {".avi", "  "},
        {"ab", "  "},
        {seventy + ".avi", " " + seventy.left(63)},
        {QString(62, 'm') + ".avi", " " + QString(62, 'm') + " "},
        {QString(63, 'm') + ".avi", " " + QString(63, 'm')},
        // A character outside the basic plane counts once and is never split.
        {QString(62, 'm') + QString::fromUtf8("\xF0\x9F\x8E\xAC") + ".avi",
         " " + QString(62, 'm') + QString::fromUtf8("\xF0\x9F\x8E\xAC")},
        {QString(63, 'm') + QString::fromUtf8("\xF0\x9F\x8E\xAC") + ".avi", " " + QString(63, 'm')},
        {QString::fromUtf8("Ålborg \xF0\x9F\x8E\xAC.avi"), QString::fromUtf8(" Ålborg \xF0\x9F\x8E\xAC ")},
        {"Night\nTrain\t2\x7F.avi", " Night Train 2  "},
        // A film's whole extension goes, whatever its length and letter case.
        {"Night Train.webm", " Night Train "},
        {"Night Train.MKV", " Night Train "},
        {"a.b.m4v", " a.b "},
        {"Harbour.MoV", " Harbour "},
        {".webm", "  "},
        {"film.webm.avi", " film.webm "},
        {"film.webmx", " film.w "},
        {QString(62, 'm') + ".webm", " " + QString(62, 'm') + " "},
        {QString(63, 'm') + ".webm", " " + QString(63, 'm')},
        // What would reorder or hide text is left out before the cut; separators show as spaces.
        {QString::fromUtf8("Trailer\u202E4pm.exe.mkv"), " Trailer4pm.exe "},
        {QString::fromUtf8("\u2066x\u2069\u200B\uFEFF.avi"), " x "},
        {QString::fromUtf8("a\U000E0041b\U0001F3AC.mkv"), QString::fromUtf8(" ab\U0001F3AC ")},
        {QString::fromUtf8("Line\u2028Break\u0085\u009B.webm"), " Line Break   "},
        {QString(63, 'm') + QString::fromUtf8("\u202E\u200F") + ".avi", " " + QString(63, 'm')},
    };
    for (const TitleCase& c : cases) EXPECT_EQ(TitleText(c.movieName), c.title) << c.movieName.toStdString();
}

TEST(AppFilePath, AddsOneSeparatorUnlessTheFolderEndsInOne) {
    const std::string sep = QDir::separator() == '/' ? "/" : "\\";
    EXPECT_EQ(AppFilePath(sep, "film.avi"), sep + "film.avi");
    EXPECT_EQ(AppFilePath(sep + "movie", "film.avi"), sep + "movie" + sep + "film.avi");
    EXPECT_EQ(AppFilePath(sep + "movie" + sep, "film.avi"), sep + "movie" + sep + "film.avi");
    EXPECT_EQ(AppFilePath(sep + "movie", ""), sep + "movie" + sep);
}

class Disc : public testing::Test {
  protected:
    void add(const QString& name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QTemporaryDir dir;
};

TEST_F(Disc, EmptyFolder) {
    const DiscContent disc = DiscoverContent(SystemPath(dir.path()));
    EXPECT_FALSE(disc.playEnabled());
    EXPECT_FALSE(disc.pageButtonShown());
    EXPECT_TRUE(disc.pictureNoteShown());
    EXPECT_EQ(disc.titleStrip(), " movie is not in the directory ");
    EXPECT_EQ(disc.titleStrip().size(), 31);
    EXPECT_EQ(QtPath(disc.moviePath()), dir.path() + QDir::separator());
}

TEST_F(Disc, FirstOfEachKindWins) {
    for (const char* name :
         {"b.avi", "A.avi", "cover.png", "z.gif", "y.JPG", "page.HTM", "index.html", "x.txt"}) {
        add(name);
    }
    const DiscContent disc = DiscoverContent(SystemPath(dir.path()));
    EXPECT_TRUE(disc.playEnabled());
    EXPECT_TRUE(disc.pageButtonShown());
    EXPECT_FALSE(disc.pictureNoteShown());
    EXPECT_EQ(disc.titleStrip(), " A ");
    EXPECT_EQ(QtPath(disc.moviePath()), dir.path() + QDir::separator() + "A.avi");
    EXPECT_EQ(disc.pictures.List(0), "y.JPG");
    EXPECT_EQ(disc.pages.List(0), "index.html");
}

struct FilmFolderCase {
    const char* name;
    std::vector<const char*> files;
    QString movie;  // empty: none
};

// Films are taken only where there is no AVI file, by the same order and rules.
TEST_F(Disc, FilmsWhereThereIsNoAvi) {
    const FilmFolderCase cases[] = {
        {"AVI wins", {"a.mp4", "z.avi", "b.webm"}, "z.avi"},
        {"first film by name", {"b.mp4", "A.webm", "c.mkv", "d.m4v"}, "A.webm"},
        {"QuickTime among them", {"b.mp4", "a.MOV", "c.mkv"}, "a.MOV"},
        {"AVI wins over QuickTime", {"a.mov", "z.avi"}, "z.avi"},
        {"capitals", {"FILM.MKV"}, "FILM.MKV"},
        {"other extensions", {"film.mp4x", "film.movie", "film.qt", "film.mp"}, ""},
        {"a folder named like a film", {"a.mp4/", "b.m4v"}, "b.m4v"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        for (const QString name : c.files) {
            if (name.endsWith('/')) {
                ASSERT_TRUE(QDir(folder.path()).mkdir(name.chopped(1)));
                continue;
            }
            QFile file(QDir(folder.path()).filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        const DiscContent disc = DiscoverContent(SystemPath(folder.path()));
        EXPECT_EQ(QtPath(disc.movies.List(0)), c.movie);
        EXPECT_EQ(disc.playEnabled(), !c.movie.isEmpty());
        EXPECT_EQ(disc.titleStrip(), c.movie.isEmpty() ? QString(NoMovieTitle) : TitleText(c.movie));
    }
}

TEST_F(Disc, PicturesOutsideThePatternsDoNotCount) {
    add("cover.png");
    add("cover.jpeg");
    const DiscContent disc = DiscoverContent(SystemPath(dir.path()));
    EXPECT_TRUE(disc.pictureNoteShown());
    EXPECT_EQ(QtPath(disc.picturePath()), dir.path() + QDir::separator());
}

}  // namespace

}  // namespace discstart
