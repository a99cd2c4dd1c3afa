// discinfo given bad things directly: a clean report or one clean line, never a crash or hang.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "awkward_names.h"
#include "content/native_name.h"
#include "run_discinfo.h"
#include "support/disc_folder.h"
#include "support/movie_bytes.h"

namespace discstart {

namespace {

struct PathCase {
    const char* what;
    QByteArray name;
    int status;
};

TEST(HostileDiscinfo, BadPathsGiveOneCleanLine) {
    QTemporaryDir dir;
    const QByteArray base = QFile::encodeName(dir.path()) + '/';
    ASSERT_EQ(::mkfifo(base + "fifo.avi", 0600), 0);
    ASSERT_EQ(::symlink("gone.avi", base + "broken.avi"), 0);
    ASSERT_EQ(::symlink("loop.avi", base + "loop.avi"), 0);
    ASSERT_EQ(::mkdir(base + "folder.avi", 0700), 0);
    ::close(::open(base + "empty.avi", O_WRONLY | O_CREAT, 0600));
    const PathCase cases[] = {
        {"fifo", "fifo.avi", 1},
        {"broken link", "broken.avi", 1},
        {"link loop", "loop.avi", 1},
        {"missing, named with a newline", "no\nsuch.avi", 1},
        {"missing, not UTF-8", "\xE9t\xE9.avi", 1},
        {"folder named like a movie", "folder.avi", 0},
        {"empty file", "empty.avi", 0},
    };
    for (const PathCase& c : cases) {
        const DiscinfoRun run = RunDiscinfo({base + c.name});
        EXPECT_FALSE(run.timedOut) << c.what;
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err.constData();
        if (c.status == 1) {
            EXPECT_EQ(run.err.count('\n'), 1) << c.what << ": " << run.err.constData();
            EXPECT_TRUE(run.err.startsWith("discinfo: ")) << c.what;
            EXPECT_TRUE(run.out.isEmpty()) << c.what;
        }
    }
}

// The movie named with any bytes is found, read and named in the report as the window shows it.
TEST(HostileDiscinfo, AwkwardMovieNamesAreReadByTheirBytes) {
    for (const AwkwardName& name : AwkwardNames()) {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + name.bytes;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0) << name.label;
        const QByteArray movie = AviWithTitle("Film");
        ASSERT_EQ(::write(fd, movie.constData(), movie.size()), movie.size());
        ::close(fd);
        for (const QByteArray& argument : {path, QFile::encodeName(dir.path())}) {
            const DiscinfoRun run = RunDiscinfo({"--json", argument});
            ASSERT_EQ(run.status, 0) << name.label << ": " << run.err.constData();
            const QJsonObject json = QJsonDocument::fromJson(run.out).object();
            EXPECT_EQ(json["kind"].toString(), "Avi") << name.label;
            EXPECT_EQ(json["lines"].toObject()["title"].toString(), "Film") << name.label;
            EXPECT_EQ(json["movie"].toString(), DisplayName(NameFromNativeBytes(path))) << name.label;
        }
        ::unlink(path.constData());
    }
}

TEST(HostileDiscinfo, SparseMovieBeyondFourGigabytes) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("film.avi"));
    const std::string header = OggBytes({});
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, header.data(), header.size()), ssize_t(header.size()));
    const bool grown = ::ftruncate(fd, off_t(5) << 30) == 0;
    ::close(fd);
    if (!grown) GTEST_SKIP() << "the file system refuses a sparse file of 5 GiB";
    const DiscinfoRun run = RunDiscinfo({"--json", QFile::encodeName(dir.path())});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["rows"].toArray()[9].toObject()["value"].toString(), " 5120.00 MB");
}

}  // namespace

namespace {

QByteArray TestMovie(const char* name) {
    QFile file(QStringLiteral(TEST_DATA_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The folder check reads the content by its bytes too: a Latin-1 movie and cover are fine.
TEST(HostileDiscinfo, FolderCheckReadsNamesThatAreNotUtf8) {
    QTemporaryDir dir;
    const QByteArray base = QFile::encodeName(dir.path()) + '/';
    const QByteArray movie = "caf\xE9.avi";
    const QByteArray cover = "c\xF4ver.jpg";
    for (const auto& [name, bytes] :
         {std::pair{movie, TestMovie("avi-tags.avi")}, std::pair{cover, JpegPicture(8, 8, Qt::red)}}) {
        const int fd = ::open(base + name, O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.constData(), bytes.size()), bytes.size());
        ::close(fd);
    }
    const DiscinfoRun run = RunDiscinfo({"--check", base});
    EXPECT_FALSE(run.out.contains("unreadable")) << run.out.constData();
    EXPECT_FALSE(run.out.contains("mismatch")) << run.out.constData();
    EXPECT_FALSE(run.out.contains("title-strip-cut")) << run.out.constData();
    EXPECT_LE(run.status, 1) << run.out.constData();
    ::unlink(base + movie);
    ::unlink(base + cover);
}

}  // namespace

}  // namespace discstart
