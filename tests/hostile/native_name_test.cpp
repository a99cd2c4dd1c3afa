#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "awkward_names.h"
#include "content/file_list.h"
#include "content/file_read.h"
#include "content/native_name.h"

namespace discstart {

namespace {

struct NameCase {
    const char* label;
    QByteArray bytes;
    QString name;   // what the QString holds
    QString shown;  // what the window shows
};

const std::vector<NameCase> NameCases = {
    {"ascii", "film.avi", u"film.avi"_qs, u"film.avi"_qs},
    {"utf-8", "Caf\xC3\xA9.avi", u"Café.avi"_qs, u"Café.avi"_qs},
    {"latin-1", "Caf\xE9.avi", QStringLiteral("Caf\xDCE9.avi"), u"Café.avi"_qs},
    {"cp1252 quotes", "\x93hi\x94", QStringLiteral("\xDC93hi\xDC94"), QStringLiteral("\x201Chi\x201D")},
    {"cut sequence", "a\xC3", QStringLiteral("a\xDCC3"), QStringLiteral("a\xC3")},
    {"overlong slash", "\xC0\xAF", QStringLiteral("\xDCC0\xDCAF"), QStringLiteral("\xC0\xAF")},
    {"encoded surrogate", "\xED\xB2\x80", QStringLiteral("\xDCED\xDCB2\xDC80"),
     QStringLiteral("\xED\xB2\x20AC")},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", QStringLiteral("\xDCF4\xDC90\xDC80\xDC80"),
     QStringLiteral("\xF4\x90\x20AC\x20AC")},
    {"byte order mark alone", "\xEF\xBB\xBF", QStringLiteral("\xFEFF"), QStringLiteral("\xFEFF")},
    {"byte order mark inside",
     "a\xEF\xBB\xBF"
     "b",
     QStringLiteral("a\xFEFF"
                    "b"),
     QStringLiteral("a\xFEFF"
                    "b")},
    {"byte order mark after an escape", "\xE9\xEF\xBB\xBF", QStringLiteral("\xDCE9\xFEFF"),
     QStringLiteral("\xE9\xFEFF")},
    {"noncharacters", "\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xB7\x90\xF4\x8F\xBF\xBF",
     QString::fromUtf8("\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xB7\x90\xF4\x8F\xBF\xBF"),
     QString::fromUtf8("\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xB7\x90\xF4\x8F\xBF\xBF")},
    {"format characters", "\xE2\x80\xAE\xE2\x80\x8B\xE2\x81\xA6\xC2\xAD",
     QStringLiteral("\x202E\x200B\x2066\xAD"), QStringLiteral("\x202E\x200B\x2066\xAD")},
    {"astral then escape", "\xF0\x90\x82\x80\x80", QString::fromUtf8("\xF0\x90\x82\x80") + QChar(0xDC80),
     QString::fromUtf8("\xF0\x90\x82\x80") + QChar(0x20AC)},
};

TEST(NativeName, DecodesLosslesslyAndShowsAsWindows1252) {
    for (const NameCase& c : NameCases) {
        const QString name = NameFromNativeBytes(c.bytes);
        EXPECT_EQ(name, c.name) << c.label;
        EXPECT_EQ(NativePathBytes(name), c.bytes) << c.label;
        EXPECT_EQ(DisplayName(name), c.shown) << c.label;
        EXPECT_EQ(HasEscapedBytes(name), c.bytes != c.shown.toUtf8()) << c.label;
    }
}

TEST(NativeName, EveryByteSurvivesTheRoundTrip) {
    for (int first = 0x01; first <= 0xFF; ++first) {
        for (const QByteArray& tail :
             {QByteArray(), QByteArray("\x80"), QByteArray("\xBF\xBF"), QByteArray("x")}) {
            const QByteArray bytes = QByteArray(1, char(first)) + tail;
            EXPECT_EQ(NativePathBytes(NameFromNativeBytes(bytes)), bytes) << first;
        }
    }
}

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

TEST(FileList, ListsNamesThatAreNotUtf8SoTheyCanBeOpenedAgain) {
    QTemporaryDir dir;
    const QByteArray base = Native(dir.path()) + '/';
    for (const AwkwardName& name : AwkwardNames()) {
        const int fd = ::open(base + name.bytes, O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0) << name.label;
        ::close(fd);
    }
    // Wildcards and case rules hold for escaped names too.
    ::close(::open(base + "\xE9T\xC9.AVI", O_WRONLY | O_CREAT, 0600));
    ::close(::open(base + "\xE9t\xE9.txt", O_WRONLY | O_CREAT, 0600));

    FileList list;
    list.setPath(base.chopped(1).toStdString());
    list.setPattern(QStringLiteral("*.avi"));
    EXPECT_EQ(list.ListCount(), int(AwkwardNames().size()) + 1);
    for (const std::string& name : list.names())
        EXPECT_TRUE(ReadFileWithin(base.toStdString() + name, 0)) << name;
    list.setPattern(QStringLiteral("?t?.avi"));
    ASSERT_EQ(list.ListCount(), 1);
    EXPECT_EQ(list.List(0), "\xE9T\xC9.AVI");

    list.setPattern(QStringLiteral("*"));
    for (const std::string& name : list.names()) ::unlink((base.toStdString() + name).c_str());
}

TEST(FileList, WildcardsMatchWholeNamesIgnoringCase) {
    struct Case {
        const char* pattern;
        std::vector<const char*> expected;
    };
    const std::vector<const char*> files = {"a.avi", "ab.AVI", "b.avix", "x.avi.txt", "**.avi", "abc"};
    const Case cases[] = {
        {"*.avi", {"**.avi", "a.avi", "ab.AVI"}},
        {"a*", {"a.avi", "ab.AVI", "abc"}},
        {"*a*v*i*", {"**.avi", "a.avi", "ab.AVI", "b.avix", "x.avi.txt"}},
        {"?", {}},
        {"???", {"abc"}},
        {"*.AVI;abc", {"**.avi", "a.avi", "ab.AVI", "abc"}},
        {"*", {"**.avi", "a.avi", "ab.AVI", "abc", "b.avix", "x.avi.txt"}},
    };
    QTemporaryDir dir;
    for (const char* f : files) ::close(::open(Native(dir.filePath(f)), O_WRONLY | O_CREAT, 0600));
    for (const Case& c : cases) {
        FileList list;
        list.setPath(dir.path().toStdString());
        list.setPattern(QString::fromUtf8(c.pattern));
        EXPECT_EQ(list.names(), std::vector<std::string>(c.expected.begin(), c.expected.end())) << c.pattern;
    }
}

}  // namespace

}  // namespace discstart
