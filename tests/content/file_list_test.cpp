#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "content/file_list.h"

namespace discstart {

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
    list.setPath(dir.path().toStdString());
    list.setPattern(QString::fromUtf8(c.pattern));
    const std::vector<std::string> expected(c.expected.begin(), c.expected.end());
    EXPECT_EQ(list.names(), expected);
    EXPECT_EQ(list.ListCount(), int(expected.size()));
    EXPECT_EQ(list.List(0), expected.empty() ? std::string() : expected[0]);
}

// Which names a folder lists differs by system, so the table is built outside the macro.
std::vector<ListCase> ListCases() {
    return {
        ListCase{"Empty", {}, "*.avi", {}},
        ListCase{"CaseInsensitiveOrder", {"b.avi", "A.avi", "c.AVI"}, "*.avi", {"A.avi", "b.avi", "c.AVI"}},
        // Byte order would put both capitals first.
        ListCase{"CapitalsSortAmongLowerCase",
                 {"Zulu.avi", "alpha.avi", "Mike.avi"},
                 "*.avi",
                 {"alpha.avi", "Mike.avi", "Zulu.avi"}},
        ListCase{"UpperCaseExtensionMatches", {"MOVIE.AVI"}, "*.avi", {"MOVIE.AVI"}},
#ifndef _WIN32  // one name whatever its case there
        ListCase{"SameNameButCaseHasFixedOrder",
                 {"film.avi", "FILM.avi", "Film.avi"},
                 "*.avi",
                 {"FILM.avi", "Film.avi", "film.avi"}},
#endif
        ListCase{"SubdirectoryNotListed", {"x.avi/", "y.avi"}, "*.avi", {"y.avi"}},
#ifndef _WIN32
        ListCase{"HiddenFileNotListed", {".secret.avi", "z.avi"}, "*.avi", {"z.avi"}},
#endif
        ListCase{"SeveralPatterns",
                 {"b.gif", "a.bmp", "c.JPG", "d.png", "e.jpeg"},
                 "*.jpg;*.bmp;*.gif",
                 {"a.bmp", "b.gif", "c.JPG"}},
        ListCase{"PagePatterns",
                 {"page.HTM", "index.html", "x.shtml"},
                 "*.htm;*.html",
                 {"index.html", "page.HTM"}},
#ifdef _WIN32
        // Windows hides by attribute alone: a name that is all extension is a plain file.
        ListCase{"ExtensionOnlyName", {".avi"}, "*.avi", {".avi"}},
#else
        ListCase{"ExtensionOnlyName", {".avi"}, "*.avi", {}},
#endif
        ListCase{"QuestionMarkWildcard", {"ab.avi", "abc.avi"}, "??.avi", {"ab.avi"}},
        ListCase{"AwkwardNames",
                 {"it's $(x); y.avi", "-rf.avi", "a b.avi"},
                 "*.avi",
                 {"-rf.avi", "a b.avi", "it's $(x); y.avi"}},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, FileListTable, testing::ValuesIn(ListCases()),
                         [](const testing::TestParamInfo<ListCase>& info) {
                             return std::string(info.param.name);
                         });

#ifdef _WIN32
TEST(FileList, HiddenAndSystemFilesAreNotListed) {
    QTemporaryDir dir;
    for (const char* name : {"plain.avi", "hidden.avi", "system.avi", "readonly.avi"})
        Touch(dir.filePath(name));
    const struct {
        const char* name;
        DWORD attributes;
    } marked[] = {{"hidden.avi", FILE_ATTRIBUTE_HIDDEN},
                  {"system.avi", FILE_ATTRIBUTE_SYSTEM},
                  {"readonly.avi", FILE_ATTRIBUTE_READONLY}};
    for (const auto& file : marked) {
        const QString path = QDir::toNativeSeparators(dir.filePath(file.name));
        ASSERT_TRUE(::SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()), file.attributes));
    }
    FileList list;
    list.setPattern("*.avi");
    list.setPath(QDir::toNativeSeparators(dir.path()).toStdString());
    EXPECT_EQ(list.names(), (std::vector<std::string>{"plain.avi", "readonly.avi"}));
}
#else
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
    list.setPath(dir.path().toStdString());
    EXPECT_EQ(list.names(), (std::vector<std::string>{"link.avi", "real.avi"}));
}
#endif

TEST(FileList, EmptyListAnswersEmptyText) {
    FileList list;
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.List(0), "");
    EXPECT_EQ(list.List(-1), "");
    list.setPath("/nonexistent/folder/for/sure");
    EXPECT_EQ(list.List(0), "");
}

TEST(FileList, KeepsWhatItFoundUntilPathOrPatternChanges) {
    QTemporaryDir dir;
    Touch(dir.filePath("a.avi"));
    FileList list;
    list.setPath(dir.path().toStdString());
    ASSERT_EQ(list.ListCount(), 1);
    Touch(dir.filePath("0.avi"));
    EXPECT_EQ(list.List(0), "a.avi");
    list.setPattern("*.avi");
    EXPECT_EQ(list.List(0), "0.avi");
}

}  // namespace

}  // namespace discstart
