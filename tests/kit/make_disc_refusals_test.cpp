// make-disc's answers to what would make a bad disc, and the discs it makes on request only.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "disc_files.h"
#include "make_disc_run.h"

namespace discstart {

namespace {

class MakeDiscRefusals : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"cover.jpg", "still.jpg", "intro.htm"})
            ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/" + name, content(name))) << name;
        ASSERT_TRUE(QFile::copy(QString(DEMO_DISC) + "/film.avi", content("film.avi")));
    }
    QString content(const QString& name) const { return work.filePath("content/" + name); }
    QString target(const QString& name) const { return work.filePath(name); }

    QTemporaryDir work;
    bool made = QDir().mkpath(work.filePath("content"));
};

TEST_F(MakeDiscRefusals, RefusesWhatWouldMakeABadDiscAndLeavesNothing) {
    const QString movie = content("film.avi"), cover = content("cover.jpg");
    const QByteArray film = FileBytes(movie);
    ASSERT_TRUE(WriteFile(content("mpeg.avi"),
                          QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14)));
    ASSERT_TRUE(WriteFile(content("cover.png"), PictureBytes("PNG")));
    ASSERT_TRUE(WriteFile(content("gone.htm"), "<img src=still.jpg><IMG SRC=Still.JPG><img src=gone.png>"));
    ASSERT_TRUE(WriteFile(content("we?rd.png"), PictureBytes("PNG")));
    ASSERT_TRUE(WriteFile(content("weird.htm"), "<img src='we%3Frd.png'>"));
    ASSERT_TRUE(WriteFile(content("new\nline.jpg"), PictureBytes("JPEG")));
    ASSERT_TRUE(WriteFile(content("newline.htm"), "<img src='new%0Aline.jpg'>"));
    ASSERT_TRUE(WriteFile(content("big.htm"), "<img src=still.jpg>" + QByteArray(1 << 20, ' ')));
    ASSERT_TRUE(WriteFile(content("kit.htm"), "<a href=Licenses/LICENSE>licence</a>"));
    ASSERT_TRUE(QDir().mkpath(content("Licenses")));
    ASSERT_TRUE(WriteFile(content("Licenses/LICENSE"), "mine"));
    ASSERT_TRUE(QFile::copy(movie, content("-film.avi")) && QFile::copy(cover, content("-x.jpg")));
    ASSERT_TRUE(QDir().mkpath(target("full")) && WriteFile(target("full/keep.txt"), "mine"));
    ASSERT_TRUE(QDir().mkpath(target("empty")));
    // A film in a folder sharing OUT's name as a prefix does not lie inside OUT.
    ASSERT_TRUE(QDir().mkpath(target("a2")) && QFile::copy(movie, target("a2/film.avi")));
    const QStringList linux = {"--linux-only"};
    const struct {
        const char* name;
        QStringList args;
        int status;
        const char* says;
        const char* left;  // what remains of OUT: "" nothing, "empty", or a file in it
    } cases[] = {
        {"help", {"--help"}, 0, "usage: scripts/make-disc [OPTIONS] MOVIE OUT", ""},
        {"nothing to make", {}, 2, "give a MOVIE and the OUT folder", ""},
        {"option without its value",
         {movie, "--cover", "--page", content("intro.htm"), target("a")},
         2,
         "option --cover needs a value",
         ""},
        {"value missing at the end", {movie, target("a"), "--label"}, 2, "option --label needs a value", ""},
        {"unknown option", {"--bogus", movie, target("a")}, 2, "unknown option '--bogus'", ""},
        {"a film named like an option",
         {"-film.avi", target("a")},
         2,
         "goes after --, or as ./-film.avi",
         ""},
        {"unknown medium",
         {"--medium", "floppy", movie, target("a")},
         2,
         "--medium is cd, dvd or dvd-dl",
         ""},
        {"one argument too many", {movie, target("a"), "more"}, 2, "one MOVIE and one OUT folder", ""},
        {"missing movie", linux + QStringList{content("none.avi"), target("a")}, 1, "no movie file", ""},
        {"picture the launcher cannot list",
         linux + QStringList{movie, "--cover", content("cover.png"), target("a")}, 1, ".jpg, .bmp and .gif",
         ""},
        {"no Windows launcher, and no --linux-only",
         {movie, "--cover", cover, "--iso", target("a.iso"), target("a")},
         1,
         "give --linux-only for a disc that starts on Linux alone",
         ""},
        {"no cover", linux + QStringList{movie, target("a")}, 1, "no cover: the cover area would say", ""},
        {"no cover, the film beside a folder sharing OUT's prefix",
         linux + QStringList{target("a2/film.avi"), target("a")}, 1, "or give --force to make it anyway", ""},
        {"the page's files missing, one but for case",
         linux + QStringList{movie, "--cover", cover, "--page", content("gone.htm"), target("a")}, 1,
         "Still.JPG, which is not beside it (still.jpg is there, which differs only in case", ""},
        {"names like options, and a missing page file",
         linux + QStringList{"--cover", content("-x.jpg"), "--page", content("gone.htm"), "--",
                             content("-film.avi"), target("a")},
         1, "refers to gone.png, which is not beside it", ""},
        {"a page's file Windows cannot open",
         linux + QStringList{movie, "--cover", cover, "--page", content("weird.htm"), target("a")}, 1,
         "the page's file 'we?rd.png' cannot be opened on Windows (it holds '?')", ""},
        {"a page's file with a line break in its name",
         linux + QStringList{movie, "--cover", cover, "--page", content("newline.htm"), target("a")}, 1,
         "'new\\nline.jpg' cannot be opened on Windows (it holds a control character)", ""},
        {"a page past its budget",
         linux + QStringList{movie, "--cover", cover, "--page", content("big.htm"), target("a")}, 1,
         "the page big.htm is not shown, it is larger than the page view reads", ""},
        {"a page's file where the disc keeps its licences",
         linux + QStringList{movie, "--cover", cover, "--page", content("kit.htm"), target("a")}, 1,
         "takes the name of the disc's own licenses", ""},
        {"--iso names the film", linux + QStringList{movie, "--cover", cover, "--iso", movie, target("a")}, 1,
         "is the movie: writing the image would destroy it", ""},
        {"the ISO inside OUT",
         linux + QStringList{movie, "--cover", cover, "--iso", target("empty/a.iso"), target("empty")}, 1,
         "the image would hold itself", "empty"},
        {"OUT holds files", linux + QStringList{movie, "--cover", cover, target("full")}, 1,
         "exists and is not an empty folder", "keep.txt"},
        {"movie the check rejects",
         linux + QStringList{content("mpeg.avi"), "--cover", cover, target("empty")}, 1,
         "error[movie-not-avi]", "empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome run = RunMakeDisc(c.args);
        EXPECT_EQ(run.status, c.status) << run.output.toStdString();
        EXPECT_NE(run.output.indexOf(c.says), -1) << run.output.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target("a"))) << "a failed run leaves its folder";
        EXPECT_FALSE(QFileInfo::exists(target("a.iso")));
        EXPECT_TRUE(QString(c.left) != "empty" || QDir(target("empty")).isEmpty());
        EXPECT_TRUE(QString(c.left) != "keep.txt" ||
                    QDir(target("full")).entryList(QDir::Files) == QStringList{"keep.txt"});
    }
    EXPECT_EQ(FileBytes(movie), film) << "the film an --iso named";
}

// A program standing in for `name` in a folder put first on PATH: `script`, then the real one.
QString StandIn(const QString& folder, const QString& name, const QString& script) {
    const QString path = folder + "/" + name;
    if (!QDir().mkpath(folder) ||
        !WriteFile(path,
                   ("#!/bin/sh\n" + script + "\nexec " + QStandardPaths::findExecutable(name) + " \"$@\"\n")
                       .toUtf8()) ||
        !QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner))
        return {};
    return "PATH=" + folder + ":" + qEnvironmentVariable("PATH");
}

// A run that fails late removes what it wrote and nothing else: what the author put into OUT
// meanwhile stays, in OUT and in a folder of the run's own.
TEST_F(MakeDiscRefusals, AFailedRunRemovesOnlyWhatItWrote) {
    const QString out = target("a");
    const QString path = StandIn(target("bin"), "xorriso",
                                 "case \" $* \" in *\" -o \"*) cd '" + out +
                                     "' && mkdir -p Photos qt/mine && echo mine >precious.txt && echo jpeg "
                                     ">Photos/1.jpg && echo mine >qt/mine/notes.txt && exit 1;; esac");
    ASSERT_FALSE(path.isEmpty());
    const Outcome run = RunMakeDisc(
        {"--linux-only", content("film.avi"), "--cover", content("cover.jpg"), "--iso", target("a.iso"), out},
        {path});
    EXPECT_EQ(run.status, 1) << run.output.toStdString();
    EXPECT_NE(run.output.indexOf("xorriso could not write"), -1) << run.output.toStdString();
    EXPECT_NE(run.output.indexOf("kept a/qt, a, which hold what it did not write"), -1)
        << run.output.toStdString();
    QStringList left;
    QDirIterator all(out, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                     QDirIterator::Subdirectories);
    while (all.hasNext()) left << QDir(out).relativeFilePath(all.next());
    left.sort();
    EXPECT_EQ(left,
              (QStringList{"Photos", "Photos/1.jpg", "precious.txt", "qt", "qt/mine", "qt/mine/notes.txt"}));
    EXPECT_FALSE(QFileInfo::exists(target("a.iso")));
}

// A film cut short after discinfo described it (an encoder starting over) fails the run with
// one message naming it, and leaves no disc.
TEST_F(MakeDiscRefusals, AFilmThatChangesWhileTheDiscIsMadeFailsTheRun) {
    const QString film = content("film.avi");
    const QString stand = target("bin/discinfo");
    ASSERT_TRUE(QDir().mkpath(target("bin")));
    ASSERT_TRUE(WriteFile(
        stand, ("#!/bin/sh\n" + QString(DISCINFO) + " \"$@\"; s=$?\n[ -e '" + target("once") +
                "' ] || { touch '" + target("once") + "'; truncate -s 4000 '" + film + "'; }\nexit $s\n")
                   .toUtf8()));
    ASSERT_TRUE(QFile::setPermissions(stand, QFile::permissions(stand) | QFile::ExeOwner));
    const Outcome run = RunMakeDisc({"--linux-only", film, "--cover", content("cover.jpg"), target("a")},
                                    {"DISCINFO=" + stand});
    EXPECT_EQ(run.status, 1) << run.output.toStdString();
    EXPECT_EQ(run.output.count("changed while the disc was made"), 1) << run.output.toStdString();
    EXPECT_NE(run.output.indexOf("the movie " + film + " changed"), -1) << run.output.toStdString();
    EXPECT_NE(run.output.indexOf("4,000 now"), -1) << run.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target("a")));
}

// --force takes what the disc check finds (a movie without facts, no cover), and nothing else:
// the launcher picks the page named _intro.html as make-disc does, and a disc that does not fit
// the medium asked for is refused however it is forced. The film is 690 MiB, sparse: the check
// reads its header, and the copy keeps the holes.
TEST_F(MakeDiscRefusals, ForceTakesTheChecksFindingsNotTheMedium) {
    QFile movie(content("big.avi"));
    ASSERT_TRUE(movie.open(QIODevice::ReadWrite));
    movie.write(QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14));
    ASSERT_TRUE(movie.resize(qint64(690) << 20));
    movie.close();
    ASSERT_TRUE(WriteFile(content("_intro.html"), "<html><body>No links at all.</body></html>"));
    const Outcome run = RunMakeDisc({content("big.avi"), "--page", content("_intro.html"), "--force",
                                     "--linux-only", "--medium", "cd", target("a")});
    EXPECT_EQ(run.status, 1) << run.output.toStdString();
    for (const char* says : {"error[movie-not-avi]", "warning[no-picture]",
                             "on the disc: the film big.avi, the page _intro.html",
                             "more than a CD holds (703.1 MiB): give --medium dvd"})
        EXPECT_NE(run.output.indexOf(says), -1) << says << "\n" << run.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target("a")));
}

// With a Windows launcher: on the disc by itself, in the ISO without --force, its licences too.
TEST_F(MakeDiscRefusals, PutsTheWindowsLauncherAndItsLicencesOnTheDisc) {
    if (Execute("dpkg-query",
                {"-W", "gcc-mingw-w64-x86-64-posix", "g++-mingw-w64-x86-64-posix", "mingw-w64-x86-64-dev"})
            .status != 0) {
        GTEST_SKIP() << "the MinGW-w64 packages are not installed (scripts/deps windows)";
    }
    const QString build = target("build-windows");
    const QString qt = target("qt-windows");
    const QString xz = target("xz-windows");
    ASSERT_TRUE(QDir().mkpath(build + "/src/app") && QDir().mkpath(qt + "/share/doc") &&
                QDir().mkpath(xz + "/share/doc"));
    ASSERT_TRUE(WriteFile(build + "/src/app/discstart.exe", "MZ stands in for the Windows launcher"));
    ASSERT_TRUE(WriteFile(qt + "/share/doc/qt6-base.copyright", "Qt's copyright file as Debian ships it"));
    ASSERT_TRUE(WriteFile(qt + "/.complete", "qt6-base 6.4.2+dfsg-10\n"));
    ASSERT_TRUE(WriteFile(xz + "/share/doc/xz-utils.copyright", "liblzma's copyright file"));
    ASSERT_TRUE(WriteFile(xz + "/.complete", "xz-utils 5.4.1-1+deb12u2\n"));
    const QStringList environment = {"DISCSTART_WINDOWS_BUILD=" + build, "DISCSTART_QT_WINDOWS=" + qt,
                                     "DISCSTART_XZ_WINDOWS=" + xz};
    // Without liblzma's licence the disc is refused: discstart.exe links it.
    const Outcome refused =
        RunMakeDisc({content("film.avi"), "--cover", content("cover.jpg"), target("b")},
                    {environment[0], environment[1], "DISCSTART_XZ_WINDOWS=" + target("none")});
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.output.indexOf("liblzma"), -1) << refused.output.toStdString();
    const Outcome run = RunMakeDisc(
        {content("film.avi"), "--cover", content("cover.jpg"), "--iso", target("a.iso"), target("a")},
        environment);
    ASSERT_EQ(run.status, 0) << run.output.toStdString();
    EXPECT_EQ(FileBytes(target("a/discstart.exe")), "MZ stands in for the Windows launcher");
    // Windows reads autorun.inf in UTF-16 with a byte-order mark; the icon is the launcher's own.
    const QString autorun =
        "[autorun]\r\nopen=discstart.exe\r\nicon=discstart.exe,0\r\nlabel=film\r\naction=Start film\r\n";
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : autorun) utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    EXPECT_EQ(FileBytes(target("a/autorun.inf")), utf16);
    EXPECT_FALSE(QFileInfo::exists(target("a/discstart.ico")));
    EXPECT_EQ(FileBytes(target("a/licenses/qt6-base-windows/copyright")),
              "Qt's copyright file as Debian ships it");
    EXPECT_EQ(FileBytes(target("a/licenses/xz-utils-windows/copyright")), "liblzma's copyright file");
    for (const char* package :
         {"gcc-mingw-w64-x86-64-posix", "g++-mingw-w64-x86-64-posix", "mingw-w64-x86-64-dev"}) {
        EXPECT_EQ(FileBytes(target("a/licenses/") + package + "/copyright"),
                  FileBytes(QString("/usr/share/doc/") + package + "/copyright"))
            << package;
    }
    const QString sources = QString::fromUtf8(FileBytes(target("a/SOURCES.txt")));
    EXPECT_NE(
        sources.indexOf("Qt 6.4.2 for Windows, built from the Debian source package qt6-base 6.4.2+dfsg-10"),
        -1)
        << sources.toStdString();
    EXPECT_NE(
        sources.indexOf("liblzma for Windows, built from the Debian source package xz-utils 5.4.1-1+deb12u2"),
        -1)
        << sources.toStdString();
    // Windows sees its launcher and autorun.inf; Linux's launcher is in the Rock Ridge tree only.
    const Outcome joliet =
        Execute("xorriso", {"-read_fs", "norock", "-indev", target("a.iso"), "-find", "/", "-maxdepth", "1"});
    for (const char* path : {"'/discstart.exe'", "'/autorun.inf'", "'/film.avi'", "'/cover.jpg'"})
        EXPECT_NE(joliet.output.indexOf(path), -1) << path << joliet.output.toStdString();
    EXPECT_EQ(joliet.output.indexOf("'/discstart'"), -1) << joliet.output.toStdString();
    EXPECT_NE(
        Execute("xorriso", {"-indev", target("a.iso"), "-find", "/discstart"}).output.indexOf("'/discstart'"),
        -1);
}

TEST_F(MakeDiscRefusals, BundlesQtWebEngineOnlyWhenAskedTo) {
    if (!WEBENGINE) GTEST_SKIP() << "this build has no WebEngine page view";
    const Outcome run = RunMakeDisc({content("film.avi"), "--cover", content("cover.jpg"), "--page",
                                     content("intro.htm"), "--webengine", "--linux-only", target("a")});
    ASSERT_EQ(run.status, 0) << run.output.toStdString();
    for (const char* path :
         {"libdiscstart_webengine.so", "qt/lib/qt6/libexec/QtWebEngineProcess",
          "qt/share/qt6/resources/qtwebengine_resources.pak", "licenses/libqt6webenginecore6/copyright"})
        EXPECT_TRUE(QFileInfo(target("a/") + path).isFile()) << path;
}

}  // namespace

}  // namespace discstart
