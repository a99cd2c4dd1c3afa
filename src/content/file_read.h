#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

namespace discstart {

// A file's bytes, read by its exact name: at most `budget`, whatever size the file claims.
// Nothing when it cannot be opened, is no plain file (FileState::Special) or holds more.
std::optional<QByteArray> ReadFileWithin(const std::string& path, qint64 budget);

}  // namespace discstart
