#include "content/file_errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include "content/native_name.h"

namespace discstart {

QString OpenError(const QString& path) {
    QFile file;
    errno = 0;
    if (OpenNativeFile(file, path)) return {};
    if (file.error() != QFileDevice::NoError) return file.errorString();
    return errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("not a regular file");
}

std::filesystem::path FileSystemPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(NativePathBytes(path).toStdString());
#endif
}

QString ListError(const QString& folder) {
    std::error_code error;
    const std::filesystem::directory_iterator listing(FileSystemPath(folder), error);
    return error ? QString::fromLocal8Bit(error.message().c_str()) : QString();
}

}  // namespace discstart
