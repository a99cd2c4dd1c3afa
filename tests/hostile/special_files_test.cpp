// Linux only: what a disc can put where a file should be (FIFOs, sockets, devices, /proc and
// /sys through links, links out of the folder and back in, hidden names), against every read
// the window, discinfo and the check make, and against the one rule of what a page may load.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/controls/picture_box.h"
#include "content/file_read.h"
#include "message_box.h"
#include "page/page_folder.h"
#include "peak_memory.h"
#include "readers/byte_file.h"
#include "run_discinfo.h"
#include "support/disc_folder.h"

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
        EXPECT_FALSE(ReadFileWithin(dir.filePath(name), 1 << 20)) << name;
    }
}

// Reads stop at the budget plus one byte, whatever the file claims.
TEST(HostileFiles, ReadsStopAtTheBudget) {
    QTemporaryDir dir;
    QFile file(dir.filePath("f"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100'000, 'x'));
    file.close();
    for (const auto& [budget, read] : {std::pair{100'000, true}, {99'999, false}, {0, false}}) {
        const auto bytes = ReadFileWithin(file.fileName(), budget);
        EXPECT_EQ(bytes.has_value(), read) << budget;
        if (bytes) {
            EXPECT_EQ(bytes->size(), 100'000);
        }
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
    EXPECT_TRUE(started->form->Image1->picture().isNull());
    EXPECT_FALSE(MessageBoxShown());
    EXPECT_LT(PeakMegabytes() - before, 100) << "peak memory grew, MB";

    const DiscinfoRun check = RunDiscinfo({"--check", Bytes(disc.path())});
    EXPECT_FALSE(check.timedOut);
    EXPECT_EQ(check.status, 2) << check.out.constData() << check.err.constData();
    EXPECT_TRUE(check.out.contains("picture-unreadable")) << check.out.constData();
}

// The page's folder "page" beside "page2", with everything a page template might name.
class RuleSite {
  public:
    RuleSite() {
        const QByteArray root = Bytes(dir_.path()) + '/';
        for (const char* folder : {"page", "page/img", "page/.ssh", "page2", "elsewhere"})
            ::mkdir(root + folder, 0700);
        for (const char* file : {"page/a.png", "page/img/b.png", "page/.ssh/id_rsa", "page/.bash_history",
                                 "page2/secret.png", "elsewhere/secret.png"})
            QFile(dir_.filePath(file)).open(QIODevice::WriteOnly);
        const std::pair<const char*, const char*> links[] = {
            {"page/users.txt", "/etc/passwd"},
            {"page/shared", "../elsewhere"},
            {"page/prefix.png", "../page2/secret.png"},
            {"page/back.png", "../page/img/b.png"},
            {"page/key.png", ".ssh/id_rsa"},
            {"page/status.txt", "/proc/self/status"},
        };
        for (const auto& [link, target] : links) ::symlink(target, root + link);
        ::mkfifo(root + "page/fifo.png", 0600);
        QFile page(dir_.filePath("page/intro.htm"));
        page.open(QIODevice::WriteOnly);
        page.write(Page);
    }
    QString path(const char* name) const { return dir_.filePath(name); }

    // Each reference the page makes, and why the page may not load it ("" when it may).
    static inline const std::pair<const char*, const char*> References[] = {
        {"a.png", ""},
        {"img/b.png", ""},
        {"back.png", ""},  // a link out and back in leads inside
        {".ssh/id_rsa", "hidden"},
        {".bash_history", "hidden"},
        {"img/../.ssh/id_rsa", "hidden"},
        {"key.png", "hidden"},  // a plain name linked to a hidden file
        {"users.txt", "link-outside"},
        {"shared/secret.png", "link-outside"},
        {"prefix.png", "link-outside"},  // page2 shares the folder's name as a prefix
        {"status.txt", "link-outside"},
        {"fifo.png", "special"},
        {"img", "special"},
        {"gone.png", "missing"},
        {"../page2/secret.png", "outside"},
    };
    static inline const QByteArray Page = [] {
        QByteArray html;
        for (const auto& [reference, reason] : References)
            html += QByteArray("<img src=\"") + reference + "\">";
        return html;
    }();

  private:
    QTemporaryDir dir_;
};

// What discinfo lists and refuses is what the page view loads and refuses: one rule.
TEST(HostileFiles, OneRuleForWhatAPageMayLoad) {
    RuleSite site;
    const DiscinfoRun run = RunDiscinfo({"--json", Bytes(site.path("page"))});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QJsonObject disc = QJsonDocument::fromJson(run.out).object().value("disc").toObject();
    QMap<QString, QString> listed;  // reference: reason
    for (const QJsonValue file : disc.value("pageFiles").toArray())
        listed.insert(file.toObject().value("reference").toString(), QString());
    for (const QJsonValue file : disc.value("pageRefused").toArray())
        listed.insert(file.toObject().value("reference").toString(),
                      file.toObject().value("reason").toString());

    const PageFolder folder(site.path("page/intro.htm"));
    const QUrl page = QUrl::fromLocalFile(site.path("page/intro.htm"));
    for (const auto& [reference, reason] : RuleSite::References) {
        SCOPED_TRACE(reference);
        const QString name = QString::fromUtf8(reference);
        // Listed once per file: "img/../.ssh/id_rsa" is the .ssh/id_rsa already listed.
        EXPECT_TRUE(listed.contains(name) || name.contains(QLatin1String("img/..")));
        if (listed.contains(name)) {
            EXPECT_EQ(listed.value(name), QString::fromUtf8(reason));
        }
        EXPECT_EQ(QString::fromUtf8(PageRefusalName(folder.refusal(page.resolved(QUrl(name))))),
                  QString::fromUtf8(reason));
    }
}

}  // namespace

}  // namespace discstart
