#include "content/file_read.h"

#include "system/system.h"

namespace discstart {

std::optional<QByteArray> ReadFileWithin(const std::string& path, qint64 budget) {
    const OpenedFile opened = DiskFiles().openChecked(path);
    QByteArray bytes;
    if (!opened.file || !ReadWhole(*opened.file, budget, bytes)) return std::nullopt;
    return bytes;
}

}  // namespace discstart
