// Linux only: what a disc can put where a file should be (FIFOs, sockets, devices, /proc and
// /sys through links, broken links and loops), against every read the window, discinfo and the
// check make.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/controls/picture_box.h"
#include "bytes/byte_file.h"
#include "content/discovery.h"
#include "content/file_read.h"
#include "message_box.h"
#include "peak_memory.h"
#include "run_discinfo.h"
#include "support/disc_folder.h"
#include "system/system.h"

namespace discstart {

namespace {

QByteArray Bytes(const QString& path) {
    return QFile::encodeName(path);
}

void MakeSocket(const QByteArray& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path.constData();
    ::close(fd);
}

// Every kind of thing that is no plain file, named like one.
std::vector<std::pair<const char*, FileState>> MakeSpecialFiles(const QByteArray& base) {
    ::mkfifo(base + "fifo.jpg", 0600);
    MakeSocket(base + "socket.jpg");
    ::mkdir(base + "folder.jpg", 0700);
    for (const auto& [link, target] : {std::pair{"zero.jpg", "/dev/zero"},
                                       {"pagemap.jpg", "/proc/self/pagemap"},
                                       {"status.jpg", "/proc/self/status"},
                                       {"uevent.jpg", "/sys/kernel/uevent_seqnum"},
                                       {"broken.jpg", "gone"},
                                       {"loop.jpg", "loop.jpg"}})
        ::symlink(target, base + link);
    return {{"fifo.jpg", FileState::Special},    {"socket.jpg", FileState::Special},
            {"folder.jpg", FileState::Special},  {"zero.jpg", FileState::Special},
            {"pagemap.jpg", FileState::Special}, {"status.jpg", FileState::Special},
            {"uevent.jpg", FileState::Special},  {"broken.jpg", FileState::Missing},
            {"loop.jpg", FileState::Missing}};
}

TEST(HostileFiles, WhatIsNoPlainFileIsRefusedByWhatItIsNotItsSize) {
    QTemporaryDir dir;
    const QByteArray base = Bytes(dir.path()) + '/';
    for (const auto& [name, state] : MakeSpecialFiles(base)) {
        EXPECT_EQ(DiskFiles().openChecked(base.toStdString() + name).state, state) << name;
        EXPECT_FALSE(ReadFileWithin(base.toStdString() + name, 1 << 20)) << name;
    }
}

// Before, a cover linked to /proc/self/pagemap passed the 64 MiB check (a regular file of size
// 0) and was read until the process was killed; so was discinfo --check.
TEST(HostileFiles, ACoverLinkedToProcIsNoPicture) {
    DiscFolder disc;
    disc.add("film.avi", AviWithTitle("Film"));
    ASSERT_EQ(::symlink("/proc/self/pagemap", Bytes(QDir(disc.path()).filePath("cover.jpg"))), 0);
    const qint64 before = PeakMegabytes();
    auto started = StartForm(disc.path());
    EXPECT_TRUE(started->view().ui().Image1->picture().isNull());
    EXPECT_FALSE(MessageBoxShown());
    EXPECT_LT(PeakMegabytes() - before, 100) << "peak memory grew, MB";

    const DiscinfoRun check = RunDiscinfo({"--check", Bytes(disc.path())});
    EXPECT_FALSE(check.timedOut);
    // Like a FIFO of that name, it is no picture of the folder at all.
    EXPECT_TRUE(check.out.contains("warning[no-picture]")) << check.out.constData();
    EXPECT_FALSE(check.out.contains("picture-unreadable")) << check.out.constData();
}

// Before, a link to a /proc file under a film's name was the movie ahead of the good film
// beside it (play enabled, an empty panel), and discinfo --json printed no line for the folder.
TEST(HostileFiles, NoPlainFileUnderAFilmsNameIsTheMovie) {
    for (const char* film : {"film.avi", "film.mkv"}) {
        SCOPED_TRACE(film);
        DiscFolder disc;
        disc.add(film, AviWithTitle("Film"));
        const QByteArray base = Bytes(disc.path()) + '/';
        ::mkfifo(base + "0-fifo.avi", 0600);
        for (const auto& [link, target] : {std::pair{"1-status.avi", "/proc/self/status"},
                                           {"2-uevent.avi", "/sys/kernel/uevent_seqnum"},
                                           {"3-null.avi", "/dev/null"},
                                           {"4-status.mkv", "/proc/self/status"}})
            ::symlink(target, base + link);
        EXPECT_EQ(DiscoverContent(Bytes(disc.path()).toStdString()).movies.names(),
                  std::vector<std::string>{film});
        const DiscinfoRun json = RunDiscinfo({"--json", Bytes(disc.path())});
        EXPECT_EQ(json.status, 0) << json.err.constData();
        EXPECT_EQ(json.out.count('\n'), 1);
        EXPECT_TRUE(json.out.contains("\"moviePath\":\"" + base + film + '"')) << json.out.constData();
    }
}

}  // namespace

}  // namespace discstart
