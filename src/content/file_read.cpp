#include "content/file_read.h"

#include "content/native_name.h"
#include "system/system.h"

namespace discstart {

std::optional<QByteArray> ReadFileWithin(const QString& path, qint64 budget) {
    const OpenedFile opened = DiskFiles().openChecked(NativePathBytes(path).toStdString());
    QByteArray bytes;
    if (!opened.file || !ReadWhole(*opened.file, budget, bytes)) return std::nullopt;
    return bytes;
}

}  // namespace discstart
