#include "app_path.h"

#include <QCoreApplication>
#include <QDir>

QString AppFilePath(const QString& directory, const QString& name) {
    const QChar separator = QDir::separator();
    if (directory.endsWith(separator)) return directory + name;
    return directory + separator + name;
}

QString ApplicationDirectory() {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}
