// discinfo: what the discstart window would show for a movie file or a disc folder.
#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QLibrary>
#include <QTextStream>

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "check_module.h"
#include "regional_format.h"
#include "native_name.h"
#include "report.h"

#ifdef DISCINFO_CHECK_BUILT_IN
extern "C" int discinfo_run_check(const char* folder);
#endif

namespace {

constexpr const char* Usage =
    "usage: discinfo [--json] PATH\n"
    "       discinfo --check FOLDER\n"
    "  PATH    a movie file or a disc folder (the folder the launcher runs from)\n"
    "  --json  print one JSON object instead of the text layout\n"
    "  --check report what makes the window show less or other than expected;\n"
    "          exit status 0 clean, 1 warnings, 2 errors\n";

// One line, whatever bytes the path holds.
int Fail(const QString& path, const QString& reason) {
    QTextStream(stderr) << "discinfo: " << WithoutControlCharacters(DisplayName(path), QLatin1Char('?')) << ": "
                        << reason << '\n';
    return 1;
}

std::filesystem::path NativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(NativePathBytes(path).toStdString());
#endif
}

QString Reason(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message().c_str());
}

// Why the path can't be described, or an empty text when it can. Checked by the path's
// exact bytes: Qt's own file names would lose those of a name that is not UTF-8.
QString Unreadable(const QString& path, bool& isFolder) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path native = NativePath(path);
    const fs::file_status link = fs::symlink_status(native, error);
    if (error) return Reason(error);
    const fs::file_status target = fs::status(native, error);
    if (error) {
        const bool broken = fs::is_symlink(link) && error == std::errc::no_such_file_or_directory;
        return broken ? QStringLiteral("broken symbolic link") : Reason(error);
    }
    if (fs::is_directory(target)) {
        isFolder = true;
        const fs::directory_iterator listing(native, error);
        return error ? Reason(error) : QString();
    }
    if (!fs::is_regular_file(target)) return QStringLiteral("not a regular file or folder");
    if (!DiskFiles().open(NativePathBytes(path).toStdString())) return QStringLiteral("cannot be opened");
    return {};
}

#ifdef DISCINFO_CHECK_BUILT_IN
int RunCheck(const QString& folder) {
    return discinfo_run_check(NativePathBytes(folder).constData());
}
#else
int RunCheck(const QString& folder) {
    QLibrary library(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(CheckModuleName)));
    const auto check =
        library.load() ? reinterpret_cast<CheckModuleEntryFunction>(library.resolve(CheckModuleEntry)) : nullptr;
    if (check == nullptr) {
        QTextStream(stderr) << "discinfo: the disc check is missing beside discinfo: " << library.errorString()
                            << '\n';
        return 2;
    }
    return check(NativePathBytes(folder).constData());
}
#endif

// The arguments with their exact bytes kept (a disc path need not be UTF-8).
QStringList Arguments(int argc, char** argv) {
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return QCoreApplication::arguments().mid(1);
#else
    QStringList args;
    for (int i = 1; i < argc; ++i) args << NameFromNativeBytes(QByteArray(argv[i]));
    return args;
#endif
}

#ifdef Q_OS_WIN
// The output is UTF-8; a console shows it right only while its code page says so. The
// console outlives us, so its own code page comes back when we end.
class Utf8Console {
  public:
    Utf8Console() : previous_(::GetConsoleOutputCP()) { ::SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console() {
        if (previous_ != 0) ::SetConsoleOutputCP(previous_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    UINT previous_;
};
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    const Utf8Console console;
#endif
    QCoreApplication app(argc, argv);
    const QStringList args = Arguments(argc, argv);
    bool json = false;
    bool check = false;
    QString path;
    for (const QString& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg.startsWith("--") || !path.isEmpty()) {
            std::fputs(Usage, stderr);
            return 2;
        } else {
            path = arg;
        }
    }
    if (path.isEmpty() || (json && check)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (check) return RunCheck(path);

    bool isFolder = false;
    if (const QString reason = Unreadable(path, isFolder); !reason.isEmpty()) return Fail(path, reason);

    const DiscReport report = BuildReport(path, isFolder, NumberFormatOf(QLocale::system()));
    QTextStream out(stdout);
    if (json) {
        out << QJsonDocument(ReportJson(report)).toJson(QJsonDocument::Compact) << '\n';
    } else {
        out << ReportText(report);
    }
    return 0;
}
