// make-disc's answers to what would make a bad disc, and the discs it makes on request only.
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    const QString movie = content("film.avi");
    ASSERT_TRUE(WriteFile(content("mpeg.avi"),
                          QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14)));
    ASSERT_TRUE(WriteFile(content("cover.png"), PictureBytes("PNG")));
    // The page's own picture sorts before the cover, as the launcher sorts.
    ASSERT_TRUE(QFile::copy(content("still.jpg"), content("_still.jpg")));
    ASSERT_TRUE(WriteFile(content("still.htm"), "<img src=_still.jpg>"));
    ASSERT_TRUE(QDir().mkpath(target("full")));
    ASSERT_TRUE(WriteFile(target("full/keep.txt"), "mine"));
    ASSERT_TRUE(QDir().mkpath(target("empty")));
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
        {"unknown medium",
         {"--medium", "floppy", movie, target("a")},
         2,
         "--medium is cd, dvd or dvd-dl",
         ""},
        {"one argument too many", {movie, target("a"), "more"}, 2, "one MOVIE and one OUT folder", ""},
        {"missing movie", {content("none.avi"), target("a")}, 1, "no movie file", ""},
        {"picture the launcher cannot list",
         {movie, "--cover", content("cover.png"), target("a")},
         1,
         ".jpg, .bmp and .gif",
         ""},
        {"an ISO without the Windows launcher",
         {movie, "--iso", target("a.iso"), target("a")},
         1,
         "discstart.exe, which is not built",
         ""},
        {"OUT holds files", {movie, target("full")}, 1, "exists and is not an empty folder", "keep.txt"},
        {"movie the check rejects", {content("mpeg.avi"), target("a")}, 1, "error[movie-not-avi]", ""},
        {"the page's picture would be the cover",
         {movie, "--cover", content("cover.jpg"), "--page", content("still.htm"), target("empty")},
         1,
         "_still.jpg sorts before cover.jpg and would be the cover",
         "empty"},
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
}

// The launcher picks a page named _intro.html, so make-disc does; --force takes a movie the
// check finds no facts in.
TEST_F(MakeDiscRefusals, TakesWhatTheLauncherPicksAndForceTakesTheRest) {
    ASSERT_TRUE(WriteFile(content("mpeg.avi"),
                          QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14)));
    ASSERT_TRUE(WriteFile(content("_intro.html"), "<html><body>No links at all.</body></html>"));
    const Outcome run =
        RunMakeDisc({content("mpeg.avi"), "--page", content("_intro.html"), "--force", target("a")});
    EXPECT_EQ(run.status, 0) << run.output.toStdString();
    EXPECT_NE(run.output.indexOf("error[movie-not-avi]"), -1) << run.output.toStdString();
    EXPECT_TRUE(QFileInfo(target("a/_intro.html")).isFile());
    EXPECT_TRUE(QFileInfo(target("a/discstart")).isExecutable());
}

// A film of 690 MB fits on a CD, the film with the launcher does not: no disc, not a silent DVD.
TEST_F(MakeDiscRefusals, RefusesADiscLargerThanItsMedium) {
    QFile movie(content("big.avi"));
    ASSERT_TRUE(movie.open(QIODevice::ReadWrite));
    movie.write(FileBytes(content("film.avi")));
    ASSERT_TRUE(movie.resize(qint64(690) << 20));  // sparse: the disc check reads the header only
    movie.close();
    const Outcome run = RunMakeDisc({content("big.avi"), "--force", target("a")});
    EXPECT_EQ(run.status, 1) << run.output.toStdString();
    EXPECT_NE(run.output.indexOf("more than a CD (700 MB) holds"), -1) << run.output.toStdString();
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
    ASSERT_TRUE(QDir().mkpath(build + "/src/app") && QDir().mkpath(qt + "/share/doc"));
    ASSERT_TRUE(WriteFile(build + "/src/app/discstart.exe", "MZ stands in for the Windows launcher"));
    ASSERT_TRUE(WriteFile(qt + "/share/doc/qt6-base.copyright", "Qt's copyright file as Debian ships it"));
    ASSERT_TRUE(WriteFile(qt + "/.complete", "qt6-base 6.4.2+dfsg-10\n"));
    const Outcome run = RunMakeDisc({content("film.avi"), "--iso", target("a.iso"), target("a")},
                                    {"DISCSTART_WINDOWS_BUILD=" + build, "DISCSTART_QT_WINDOWS=" + qt});
    ASSERT_EQ(run.status, 0) << run.output.toStdString();
    EXPECT_EQ(FileBytes(target("a/discstart.exe")), "MZ stands in for the Windows launcher");
    EXPECT_EQ(FileBytes(target("a/licenses/qt6-base-windows/copyright")),
              "Qt's copyright file as Debian ships it");
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
    EXPECT_NE(Execute("xorriso", {"-indev", target("a.iso"), "-find", "/discstart.exe"})
                  .output.indexOf("'/discstart.exe'"),
              -1);
}

TEST_F(MakeDiscRefusals, BundlesQtWebEngineOnlyWhenAskedTo) {
    if (!WEBENGINE) GTEST_SKIP() << "this build has no WebEngine page view";
    const Outcome run =
        RunMakeDisc({content("film.avi"), "--page", content("intro.htm"), "--webengine", target("a")});
    ASSERT_EQ(run.status, 0) << run.output.toStdString();
    for (const char* path :
         {"libdiscstart_webengine.so", "qt/lib/qt6/libexec/QtWebEngineProcess",
          "qt/share/qt6/resources/qtwebengine_resources.pak", "licenses/libqt6webenginecore6/copyright"})
        EXPECT_TRUE(QFileInfo(target("a/") + path).isFile()) << path;
}

}  // namespace

}  // namespace discstart
