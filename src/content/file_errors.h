#pragma once

#include <QString>

#include <filesystem>

namespace discstart {

// Why a file or folder cannot be read, in the system's words ("Permission denied"), or an
// empty text when it can. By the path's exact bytes, like everything on a disc.
QString OpenError(const QString& path);
QString ListError(const QString& folder);

// The path for std::filesystem, by its exact bytes (UTF-16 on Windows).
std::filesystem::path FileSystemPath(const QString& path);

}  // namespace discstart
