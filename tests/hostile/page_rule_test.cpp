// On every system: what a page may load (links out and back in, hidden names, a sibling folder
// sharing the page folder's name, folders where files should be), one rule for discinfo and
// the page view; reads bounded by their budget; what is no plain file refused by what it is.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "bytes/byte_file.h"
#include "content/file_read.h"
#include "page/page_folder.h"
#include "run_discinfo.h"
#include "support/symbolic_link.h"
#include "system/system.h"

namespace discstart {

namespace {

// Reads stop at the budget plus one byte, whatever the file claims.
TEST(HostileFiles, ReadsStopAtTheBudget) {
    QTemporaryDir dir;
    QFile file(dir.filePath("f"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100'000, 'x'));
    file.close();
    for (const auto& [budget, read] : {std::pair{100'000, true}, {99'999, false}, {0, false}}) {
        const auto bytes = ReadFileWithin(file.fileName().toStdString(), budget);
        EXPECT_EQ(bytes.has_value(), read) << budget;
        if (bytes) {
            EXPECT_EQ(bytes->size(), 100'000);
        }
    }
}

#ifdef _WIN32
// A device answers to its name in any folder and with any extension; a folder is no file either.
TEST(HostileFiles, DevicesAndFoldersAreRefusedByWhatTheyAre) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));
    for (const char* name : {"NUL", "nul.jpg", "folder.jpg"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_EQ(DiskFiles().openChecked(path.toStdString()).state, FileState::Special) << name;
        EXPECT_FALSE(ReadFileWithin(path.toStdString(), 1 << 20)) << name;
    }
}
#endif

// A page past its budget is what discinfo names as refused, from no file; one at its budget is not.
TEST(HostileFiles, APagePastItsBudgetIsRefusedByName) {
    for (const qint64 size : {qint64(1) << 20, (qint64(1) << 20) + 1}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        QFile page(dir.filePath("intro.htm"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<img src=a.png>" + QByteArray(size - 15, ' '));
        page.close();
        QFile picture(dir.filePath("a.png"));
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly) && picture.write("png") == 3);
        picture.close();
        const DiscinfoRun run = RunDiscinfo({"--json", QFile::encodeName(dir.path())});
        ASSERT_EQ(run.status, 0) << run.err.constData();
        const QJsonObject disc = QJsonDocument::fromJson(run.out).object().value("disc").toObject();
        const QJsonArray refused = disc.value("pageRefused").toArray();
        if (size == qint64(1) << 20) {
            EXPECT_TRUE(refused.isEmpty());
            EXPECT_EQ(disc.value("pageFiles").toArray().size(), 1);
            continue;
        }
        EXPECT_TRUE(disc.value("pageFiles").toArray().isEmpty());
        ASSERT_EQ(refused.size(), 1) << run.out.constData();
        EXPECT_EQ(
            refused[0].toObject(),
            (QJsonObject{
                {"from", ""}, {"reference", "intro.htm"}, {"path", "intro.htm"}, {"reason", "too-large"}}));
    }
}

// The page's folder "page" beside "page2", with everything a page template might name.
class RuleSite {
  public:
    RuleSite() {
        const QDir root(dir_.path());
        for (const char* folder : {"page/img", "page/.ssh", "page2", "elsewhere"})
            root.mkpath(QString::fromLatin1(folder));
        for (const char* file : {"page/a.png", "page/img/b.png", "page/.ssh/id_rsa", "page/.bash_history",
                                 "page2/secret.png", "elsewhere/secret.png"})
            QFile(dir_.filePath(file)).open(QIODevice::WriteOnly);
        const std::string outside = dir_.filePath("elsewhere/secret.png").toStdString();
        const std::pair<const char*, std::string> links[] = {
            {"page/users.txt", outside},  // by its absolute path
            {"page/shared", "../elsewhere"},
            {"page/prefix.png", "../page2/secret.png"},
            {"page/back.png", "../page/img/b.png"},
            {"page/key.png", ".ssh/id_rsa"},
#ifndef _WIN32
            {"page/status.txt", "/proc/self/status"},
#endif
        };
        for (const auto& [link, target] : links)
            linked_ = MakeSymbolicLink(target, dir_.filePath(link).toStdString()) && linked_;
#ifdef _WIN32
        // Hidden by its attribute alone, as Explorer hides it: no dot in the name.
        for (const auto& [file, attribute] : {std::pair{"page/marked-hidden.png", FILE_ATTRIBUTE_HIDDEN},
                                              {"page/marked-system.png", FILE_ATTRIBUTE_SYSTEM}}) {
            const QString path = QDir::toNativeSeparators(dir_.filePath(QString::fromLatin1(file)));
            QFile(path).open(QIODevice::WriteOnly);
            ::SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()), attribute);
        }
#else
        ::mkfifo(QFile::encodeName(dir_.filePath("page/fifo.png")), 0600);
#endif
        QFile page(dir_.filePath("page/intro.htm"));
        page.open(QIODevice::WriteOnly);
        page.write(Page);
    }
    QString path(const char* name) const {
        return dir_.filePath(name);
    }
    bool linked() const {
        return linked_;
    }

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
#ifdef _WIN32
        {"marked-hidden.png", "hidden"},
        {"marked-system.png", "hidden"},
#else
        {"status.txt", "link-outside"},
        {"fifo.png", "special"},
#endif
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
    bool linked_ = true;
};

// What discinfo lists and refuses is what the page view loads and refuses: one rule.
TEST(HostileFiles, OneRuleForWhatAPageMayLoad) {
    RuleSite site;
    if (!site.linked()) GTEST_SKIP() << "this system made no symbolic links for us";
    const DiscinfoRun run = RunDiscinfo({"--json", QFile::encodeName(site.path("page"))});
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
