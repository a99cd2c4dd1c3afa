#include "content/file_errors.h"

#include <filesystem>

#include "system/system.h"

namespace discstart {

QString OpenError(const std::string& path) {
    const OpenedFile opened = DiskFiles().openChecked(path);
    switch (opened.state) {
        case FileState::Plain:
            return {};
        case FileState::Special:
            return QStringLiteral("not a plain file");
        case FileState::Missing:
        case FileState::Unreadable:
            break;
    }
    return opened.error ? QString::fromLocal8Bit(opened.error.message().c_str())
                        : QStringLiteral("cannot be opened");
}

QString ListError(const std::string& folder) {
    std::error_code error;
    const std::filesystem::directory_iterator listing(FileSystemPath(folder), error);
    return error ? QString::fromLocal8Bit(error.message().c_str()) : QString();
}

}  // namespace discstart
