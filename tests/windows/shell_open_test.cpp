// Play's opener on Windows: a film path of any length reaches the associated program, and a
// start that fails says so. The associated program is record_open.exe, registered for a file
// type of the test's own.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <tuple>

#include "app/qt_platform.h"
#include "app/windows/open_with_shell.h"

namespace discstart {

namespace {

// Three letters, as .avi: a short (8.3) name keeps no more of an extension.
const QString Type = QStringLiteral(".dsq");

// The type opens with record_open.exe, which writes what it got into `record`; put back after.
class Association {
  public:
    explicit Association(const QString& record) {
        const QString recorder =
            QDir::toNativeSeparators(QFileInfo(QStringLiteral(RECORD_OPEN_EXE)).absoluteFilePath());
        const QString command = '"' + recorder + "\" \"" + QDir::toNativeSeparators(record) + "\" \"%1\"";
        // Windows reads the user's classes first; Wine 8 the machine's alone.
        for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            Set(root, "Software\\Classes\\" + Type, QStringLiteral("discstart.test.recorder"));
            Set(root, QStringLiteral("Software\\Classes\\discstart.test.recorder\\shell\\open\\command"),
                command);
        }
    }
    ~Association() {
        for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            ::RegDeleteTreeW(root, (L"Software\\Classes\\" + Type.toStdWString()).c_str());
            ::RegDeleteTreeW(root, L"Software\\Classes\\discstart.test.recorder");
        }
    }
    Association(const Association&) = delete;
    Association& operator=(const Association&) = delete;

  private:
    static void Set(HKEY root, const QString& key, const QString& value) {
        const std::wstring data = value.toStdWString();
        ::RegSetKeyValueW(root, key.toStdWString().c_str(), nullptr, REG_SZ, data.c_str(),
                          DWORD((data.size() + 1) * sizeof(wchar_t)));
    }
};

// Whether the two names name one file (the \\?\ form, so that a long one is opened at all).
bool SameFile(const QString& one, const QString& other) {
    const auto identity = [](const QString& path) {
        const std::wstring name = L"\\\\?\\" + QDir::toNativeSeparators(path).toStdWString();
        const HANDLE file = ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = file != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(file, &info);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        return known ? std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow)
                     : std::make_tuple(DWORD(0), DWORD(0), DWORD(0));
    };
    const auto id = identity(one);
    return id != std::make_tuple(DWORD(0), DWORD(0), DWORD(0)) && id == identity(other);
}

// The first line record_open.exe wrote: the file as the shell handed it.
QString Recorded(const QString& record) {
    QFile file(record);
    for (int i = 0; i < 100 && !file.exists(); ++i) QThread::msleep(100);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

// A film whose path is `length` characters long, in folders of 100 characters each.
QString FilmAt(const QTemporaryDir& dir, qsizetype length) {
    QString folder = QDir::toNativeSeparators(dir.path());
    while (folder.size() + 1 + 100 + 20 < length) folder += '\\' + QString(100, QLatin1Char('d'));
    const QString film = QStringLiteral("Film ");
    const qsizetype padding = length - folder.size() - 1 - film.size() - Type.size();
    const QString path = folder + '\\' + film + QString(padding, QLatin1Char('x')) + Type;
    if (!QDir().mkpath(folder)) return {};
    QFile file(path);
    return file.open(QIODevice::WriteOnly) ? path : QString();
}

TEST(ShellOpen, TriesTheShortThenTheUnlimitedFormOfAPathTooLongForTheShell) {
    const QString under(MAX_PATH - 1, QLatin1Char('a'));
    const QString at = "C:\\" + QString(MAX_PATH - 3, QLatin1Char('a'));
    const QString share = "\\\\server\\share\\" + QString(MAX_PATH, QLatin1Char('a'));
    struct Case {
        const char* what;
        QString path;
        QString shortPath;
        QStringList expected;
    } cases[] = {
        {"short enough, no short form", under, {}, {}},
        {"short enough, a short form", under, "C:\\AAAA~1", {"C:\\AAAA~1"}},
        {"short form the same", under, under, {}},
        {"MAX_PATH long, no short form", at, {}, {"\\\\?\\" + at}},
        {"MAX_PATH long, a short form", at, "C:\\AAAA~1", {"C:\\AAAA~1", "\\\\?\\" + at}},
        {"network share", share, {}, {"\\\\?\\UNC\\server\\share\\" + QString(MAX_PATH, QLatin1Char('a'))}},
        {"already unlimited", "\\\\?\\" + at, {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(LongPathAlternatives(c.path, c.shortPath), c.expected) << c.what;
}

TEST(ShellOpen, HandsOverAFilmWhosePathIs300CharactersLong) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("record.txt"));
    const Association association(record);
    const QString film = FilmAt(dir, 300);
    ASSERT_EQ(film.size(), 300);
    // The shell itself refuses this path: what reaches the player comes from the fallback.
    const auto refused = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, nullptr, film.toStdWString().c_str(), nullptr, L"C:\\", SW_SHOWNORMAL));
    EXPECT_LE(refused, 32);

    QtPlatform platform;
    ASSERT_TRUE(platform.openWithAssociatedApplication(film, nullptr));
    const QString handed = Recorded(record);
    EXPECT_LT(handed.size(), MAX_PATH) << handed.toStdString();
    EXPECT_TRUE(SameFile(handed, film)) << handed.toStdString();
}

TEST(ShellOpen, SaysWhenNothingStarted) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("record.txt"));
    const Association association(record);
    QFile unassociated(dir.filePath(QStringLiteral("film.discstartnone")));
    ASSERT_TRUE(unassociated.open(QIODevice::WriteOnly));
    unassociated.close();
    QtPlatform platform;
    for (const QString& path : {unassociated.fileName(), dir.filePath("missing" + Type),
                                FilmAt(dir, 300).replace(QStringLiteral("Film "), QStringLiteral("Gone "))}) {
        EXPECT_FALSE(platform.openWithAssociatedApplication(path, nullptr)) << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(record));
}

}  // namespace

}  // namespace discstart
