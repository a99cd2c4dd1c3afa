#include "content/app_path.h"

#include <QCoreApplication>
#include <QDir>

#include "system/system.h"

namespace discstart {

std::string AppFilePath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == PathSeparator()) return directory + name;
    return directory + PathSeparator() + name;
}

std::string ApplicationDirectory() {
    // By the program's own bytes: Qt's applicationDirPath() decodes them as UTF-8 and loses those
    // of a folder whose name is not, and then the window finds nothing beside it.
    std::string folder = ProgramFolder();
    if (!folder.empty()) return folder;
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace discstart
