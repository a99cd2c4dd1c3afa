#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_list.h"

namespace {

void Touch(const QString& path, const QByteArray& bytes = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

struct ListCase {
    const char* name;
    std::vector<const char*> files;  // "dir/" makes a folder
    const char* pattern;
    std::vector<const char*> expected;
};

class FileListTable : public testing::TestWithParam<ListCase> {};

TEST_P(FileListTable, ListsMatchingPlainFilesInCaseInsensitiveOrder) {
    const ListCase& c = GetParam();
    QTemporaryDir dir;
    for (const char* f : c.files) {
        const QString name = QString::fromUtf8(f);
        if (name.endsWith('/')) {
            ASSERT_TRUE(QDir(dir.path()).mkdir(name.chopped(1)));
        } else {
            Touch(dir.filePath(name));
        }
    }
    FileList list;
    list.setPath(dir.path());
    list.setPattern(QString::fromUtf8(c.pattern));
    QStringList expected;
    for (const char* e : c.expected) expected << QString::fromUtf8(e);
    EXPECT_EQ(list.names(), expected);
    EXPECT_EQ(list.ListCount(), expected.size());
    EXPECT_EQ(list.List(0), expected.value(0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileListTable,
    testing::Values(
        ListCase{"Empty", {}, "*.avi", {}},
        ListCase{"CaseInsensitiveOrder", {"b.avi", "A.avi", "c.AVI"}, "*.avi", {"A.avi", "b.avi", "c.AVI"}},
        // Byte order would put both capitals first.
        ListCase{"CapitalsSortAmongLowerCase",
                 {"Zulu.avi", "alpha.avi", "Mike.avi"},
                 "*.avi",
                 {"alpha.avi", "Mike.avi", "Zulu.avi"}},
        ListCase{"UpperCaseExtensionMatches", {"MOVIE.AVI"}, "*.avi", {"MOVIE.AVI"}},
        ListCase{"SameNameButCaseHasFixedOrder",
                 {"film.avi", "FILM.avi", "Film.avi"},
                 "*.avi",
                 {"FILM.avi", "Film.avi", "film.avi"}},
        ListCase{"SubdirectoryNotListed", {"x.avi/", "y.avi"}, "*.avi", {"y.avi"}},
        ListCase{"HiddenFileNotListed", {".secret.avi", "z.avi"}, "*.avi", {"z.avi"}},
        ListCase{"SeveralPatterns",
                 {"b.gif", "a.bmp", "c.JPG", "d.png", "e.jpeg"},
                 "*.jpg;*.bmp;*.gif",
                 {"a.bmp", "b.gif", "c.JPG"}},
        ListCase{"PagePatterns",
                 {"page.HTM", "index.html", "x.shtml"},
                 "*.htm;*.html",
                 {"index.html", "page.HTM"}},
        ListCase{"ExtensionOnlyName", {".avi"}, "*.avi", {}},
        ListCase{"QuestionMarkWildcard", {"ab.avi", "abc.avi"}, "??.avi", {"ab.avi"}},
        ListCase{"AwkwardNames",
                 {"it's $(x); y.avi", "-rf.avi", "a b.avi"},
                 "*.avi",
                 {"-rf.avi", "a b.avi", "it's $(x); y.avi"}}),
    [](const testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

TEST(FileList, SpecialFilesAndLinksAreNotListedAndNeverBlock) {
    QTemporaryDir dir;
    Touch(dir.filePath("real.avi"));
    const QByteArray base = QFile::encodeName(dir.path()) + '/';
    ASSERT_EQ(mkfifo(base + "fifo.avi", 0600), 0);
    ASSERT_EQ(symlink("missing.avi", base + "broken.avi"), 0);
    ASSERT_EQ(symlink("loop.avi", base + "loop.avi"), 0);
    ASSERT_EQ(symlink("real.avi", base + "link.avi"), 0);
    FileList list;
    list.setPattern("*.avi");
    list.setPath(dir.path());
    EXPECT_EQ(list.names(), (QStringList{"link.avi", "real.avi"}));
}

TEST(FileList, EmptyListAnswersEmptyText) {
    FileList list;
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.List(0), QString());
    EXPECT_EQ(list.List(-1), QString());
    list.setPath("/nonexistent/folder/for/sure");
    EXPECT_EQ(list.List(0), QString());
}

TEST(FileList, KeepsWhatItFoundUntilPathOrPatternChanges) {
    QTemporaryDir dir;
    Touch(dir.filePath("a.avi"));
    FileList list;
    list.setPath(dir.path());
    ASSERT_EQ(list.ListCount(), 1);
    Touch(dir.filePath("0.avi"));
    EXPECT_EQ(list.List(0), "a.avi");
    list.setPattern("*.avi");
    EXPECT_EQ(list.List(0), "0.avi");
}

}  // namespace
