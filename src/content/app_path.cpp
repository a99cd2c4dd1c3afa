#include "content/app_path.h"

#include <QCoreApplication>
#include <QDir>

#include "content/native_name.h"
#include "system/system.h"

namespace discstart {

QString AppFilePath(const QString& directory, const QString& name) {
    const QChar separator = QDir::separator();
    if (directory.endsWith(separator)) return directory + name;
    return directory + separator + name;
}

QString ApplicationDirectory() {
    // By the program's own bytes: Qt's applicationDirPath() decodes them as UTF-8 and loses those
    // of a folder whose name is not, and then the window finds nothing beside it.
    const std::string folder = ProgramFolder();
    if (!folder.empty()) return NameFromNativeBytes(QByteArray::fromStdString(folder));
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

}  // namespace discstart
