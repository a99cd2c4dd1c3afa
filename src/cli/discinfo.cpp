// discinfo: what the discstart window would show for a movie file or a disc folder.
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "disc_check.h"
#include "report.h"

namespace {

constexpr const char* Usage =
    "usage: discinfo [--json] PATH\n"
    "       discinfo --check FOLDER\n"
    "  PATH    a movie file or a disc folder (the folder the launcher runs from)\n"
    "  --json  print one JSON object instead of the text layout\n"
    "  --check report what makes the window show less or other than expected;\n"
    "          exit status 0 clean, 1 warnings, 2 errors\n";

int Fail(const QString& path, const QString& reason) {
    QTextStream(stderr) << "discinfo: " << path << ": " << reason << '\n';
    return 1;
}

// Why the path can't be described, or an empty text when it can.
QString Unreadable(const QFileInfo& info) {
    if (!info.exists()) {
        return info.isSymLink() ? QStringLiteral("broken symbolic link")
                                : QString::fromLocal8Bit(std::strerror(ENOENT));
    }
    if (!info.isReadable()) return QString::fromLocal8Bit(std::strerror(EACCES));
    if (!info.isDir() && !info.isFile()) return QStringLiteral("not a regular file or folder");
    if (info.isFile() && !DiskFiles().open(QFile::encodeName(info.filePath()).toStdString())) {
        return QStringLiteral("cannot be opened");
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
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
    if (check) {
        QTextStream out(stdout);
        return RunDiscCheck(path, out);
    }

    const QFileInfo info(path);
    if (const QString reason = Unreadable(info); !reason.isEmpty()) return Fail(path, reason);

    const DiscReport report = BuildReport(path, info.isDir(), SystemNumberFormat());
    QTextStream out(stdout);
    if (json) {
        out << QJsonDocument(ReportJson(report)).toJson(QJsonDocument::Compact) << '\n';
    } else {
        out << ReportText(report);
    }
    return 0;
}
