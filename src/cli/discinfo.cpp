// discinfo: what the discstart window would show for a movie file or a disc folder.
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/check_module.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/standard_streams.h"
#include "content/file_errors.h"
#include "content/native_name.h"
#include "content/regional_format.h"
#include "system/system.h"
#include "text/control_escape.h"

#ifdef DISCINFO_CHECK_BUILT_IN
extern "C" int discinfo_run_check(const char* folder, discstart::CheckOutput output);
#endif

namespace discstart {

namespace {

constexpr const char* Usage =
    "usage: discinfo [--json] [--page NAME] [--] PATH...\n"
    "       discinfo --check [--] FOLDER...\n"
    "       discinfo --help | --version\n"
    "\n"
    "Prints what the discstart window shows for each movie file or disc folder (the folder\n"
    "the launcher runs from), in the user's number format.\n"
    "\n"
    "  --json       one JSON object per path, one per line, in the order given\n"
    "  --page NAME  a folder's page files (disc.pageFiles) are those its page NAME refers to\n"
    "               rather than the launcher's page's\n"
    "  --check      report what makes the window show less or other than expected\n"
    "  --version    print the version\n"
    "  --           end of options: what follows is a path, even if it starts with '-'\n"
    "\n"
    "Exit status: 0 fine, 1 a path could not be read or the output could not be written,\n"
    "2 usage error. With --check: 0 clean, 1 warnings, 2 errors, 3 the check could not run.\n";

constexpr int CheckCouldNotRun = 3;

// Escaped as the report escapes names (\x1B, \u202E).
QString Shown(const std::string& path) {
    return QString::fromStdString(EscapeControlCharacters(DisplayName(path).toStdString()));
}

void Complain(const QString& message) {
    WriteStandard(StandardStream::Err, ("discinfo: " + message + '\n').toUtf8());
}

// One line, whatever bytes the path holds.
int Fail(const std::string& path, const QString& reason) {
    Complain(Shown(path) + ": " + reason);
    return 1;
}

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes to standard output and flushes, so that a full disc or a closed output shows now; the
// disc check's own writes to stdout are caught by the error flag.
bool WriteOut(const QByteArray& bytes) {
    errno = 0;
    if (WriteStandard(StandardStream::Out, bytes)) return true;
    Complain("cannot write the output: " + (errno != 0 ? ErrnoText(errno) : QStringLiteral("write error")));
    return false;
}

// The disc check's findings go out the same way.
bool WriteCheckOutput(const char* bytes, std::size_t size) {
    return WriteOut(QByteArray(bytes, qsizetype(size)));
}

QString Reason(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message().c_str());
}

// Why the path can't be described, or an empty text when it can. Checked by the path's
// exact bytes: Qt's own file names would lose those of a name that is not UTF-8.
QString Unreadable(const std::string& path, bool& isFolder) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path native = FileSystemPath(path);
    const fs::file_status link = fs::symlink_status(native, error);
    if (error) return Reason(error);
    const fs::file_status target = fs::status(native, error);
    if (error) {
        const bool broken = fs::is_symlink(link) && error == std::errc::no_such_file_or_directory;
        return broken ? QStringLiteral("broken symbolic link") : Reason(error);
    }
    if (fs::is_directory(target)) {
        isFolder = true;
        return ListError(path);
    }
    if (!fs::is_regular_file(target)) return QStringLiteral("not a regular file or folder");
    return OpenError(path);
}

// The report of one path as text or a JSON line, and whether something of it could not be read.
struct Described {
    std::optional<QByteArray> output;
    bool failed = false;
};

// A path that cannot be read, or whose movie cannot be read to its end, gives a line on stderr.
// As text it gives nothing else; in JSON a folder still gives its line, with the reason in
// "unreadable", so that a script gets one line for each folder it gives.
Described Describe(const std::string& path, const Options& options) {
    bool isFolder = false;
    std::string unreadPath = path;
    QString reason = Unreadable(path, isFolder);
    const bool lineAnyway = options.json && isFolder;
    if (!reason.isEmpty()) {
        Fail(path, reason);
        if (!lineAnyway) return {std::nullopt, true};
    }
    const DiscReport report =
        BuildReport(path, isFolder, NumberFormatOf(QLocale::system()), DiskFiles(), SystemPath(options.page));
    if (reason.isEmpty() && isFolder && !report.moviePath.empty()) {
        if (reason = OpenError(report.moviePath); !reason.isEmpty()) {
            Fail(report.moviePath, reason);
            if (!lineAnyway) return {std::nullopt, true};
            unreadPath = report.moviePath;
        }
    }
    if (reason.isEmpty() && report.readError) {
        reason = Reason(report.readError) + " (reading the movie)";
        Fail(report.moviePath, reason);
        if (!lineAnyway) return {std::nullopt, true};
        unreadPath = report.moviePath;
    }
    if (!options.json) return {ReportText(report).toUtf8(), false};
    QJsonObject json = ReportJson(report);
    if (!reason.isEmpty())
        json.insert("unreadable", QJsonObject{{"path", QtPath(unreadPath)}, {"reason", reason}});
    return {CompactJson(json) + '\n', !reason.isEmpty()};
}

int DescribeAll(const Options& options) {
    int status = 0;
    bool first = true;
    for (const QString& path : options.paths) {
        const Described described = Describe(SystemPath(path), options);
        if (described.failed) status = 1;
        if (!described.output) continue;
        const QByteArray& output = *described.output;
        if (!WriteOut(!first && !options.json ? '\n' + output : output)) return 1;
        first = false;
    }
    return status;
}

#ifdef DISCINFO_CHECK_BUILT_IN
CheckModuleEntryFunction LoadCheck(QLibrary&) {
    return &discinfo_run_check;
}
#else
// Beside discinfo in a build, in its library folder once installed.
CheckModuleEntryFunction LoadCheck(QLibrary& library) {
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& folder : {here.path(), here.filePath(QStringLiteral(DISCINFO_CHECK_DIR))}) {
        library.setFileName(QDir(folder).filePath(QString::fromLatin1(CheckModuleName)));
        if (library.load())
            return reinterpret_cast<CheckModuleEntryFunction>(library.resolve(CheckModuleEntry));
    }
    return nullptr;
}
#endif

int RunChecks(const QStringList& folders) {
    QLibrary library;
    const auto check = LoadCheck(library);
    if (check == nullptr) {
        Complain("the disc check is missing beside discinfo: " + library.errorString());
        return CheckCouldNotRun;
    }
    int status = 0;
    for (qsizetype i = 0; i < folders.size(); ++i) {
        // Several folders: each one's findings under its name.
        if (folders.size() > 1 &&
            !WriteOut((i > 0 ? "\n" : "") + Shown(SystemPath(folders[i])).toUtf8() + ":\n")) {
            return CheckCouldNotRun;
        }
        const int found = check(SystemPath(folders[i]).c_str(), &WriteCheckOutput);
        if (found < 0) return CheckCouldNotRun;
        status = std::max(status, found);
    }
    return status;
}

// The arguments with their exact bytes kept (a disc path need not be UTF-8). On Windows every
// separator becomes a backslash, so that a path given as examples/disc is shown, and its
// movie found, as Windows writes paths: examples\disc\film.avi, not examples/disc\film.avi.
QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (const std::string& argument : ProgramArguments(argc, argv))
        args << QDir::toNativeSeparators(NameFromNativeBytes(QByteArray::fromStdString(argument)));
    return args;
}

}  // namespace

}  // namespace discstart

using namespace discstart;

int main(int argc, char** argv) {
    HoldClosedStdout();
    QCoreApplication app(argc, argv);
    const Options options = ParseOptions(Arguments(argc, argv));
    if (!options.error.isEmpty()) {
        Complain(Shown(SystemPath(options.error)) + "\nTry 'discinfo --help' for more information.");
        return 2;
    }
    switch (options.mode) {
        case Options::Mode::Help:
            return WriteOut(Usage) ? 0 : 1;
        case Options::Mode::Version:
            return WriteOut("discinfo " DISCSTART_VERSION "\n") ? 0 : 1;
        case Options::Mode::Check:
            return RunChecks(options.paths);
        case Options::Mode::Describe:
            break;
    }
    return DescribeAll(options);
}
