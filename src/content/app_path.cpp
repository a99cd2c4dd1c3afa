#include "content/app_path.h"

#include <QCoreApplication>
#include <QDir>

#include "content/native_name.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <vector>
#endif

#ifdef Q_OS_LINUX
#include <unistd.h>

#include <vector>

namespace {

// The path /proc/self/exe leads to; empty when it cannot be read.
QByteArray ExecutableBytes() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (std::size_t(length) < buffer.size()) return QByteArray(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace
#endif

namespace discstart {

QString AppFilePath(const QString& directory, const QString& name) {
    const QChar separator = QDir::separator();
    if (directory.endsWith(separator)) return directory + name;
    return directory + separator + name;
}

#ifdef Q_OS_WIN

namespace {

// The path of the program the viewer started, every character kept. On a disc that is the
// start program, which runs this one unpacked elsewhere and names itself in the environment
// (read once, and not handed on to the player). Grows the buffer for paths past MAX_PATH.
QString ExecutablePath() {
    static const QString startedAs = [] {
        const QString path = qEnvironmentVariable("DISCSTART_STARTED_AS");
        qunsetenv("DISCSTART_STARTED_AS");
        return path;
    }();
    if (!startedAs.isEmpty()) return startedAs;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return QString::fromWCharArray(buffer.data(), int(length));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

QString ApplicationDirectory() {
    const QString executable = ExecutablePath();
    const qsizetype slash = executable.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0) return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    // A drive's root keeps its backslash (D:\), any other folder loses it.
    const bool root = slash > 0 && executable.at(slash - 1) == QLatin1Char(':');
    return executable.left(root ? slash + 1 : slash);
}

#else

QString ApplicationDirectory() {
#ifdef Q_OS_LINUX
    // By the executable's own bytes: Qt's applicationDirPath() decodes them as UTF-8 and loses
    // those of a folder whose name is not, and then the window finds nothing beside it.
    const QByteArray program = ExecutableBytes();
    const qsizetype slash = program.lastIndexOf('/');
    if (slash >= 0) return NameFromNativeBytes(slash == 0 ? QByteArray("/") : program.left(slash));
#endif
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

#endif

}  // namespace discstart
