#include "disc_files.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

namespace discstart {

QByteArray Raw(const media::Bytes& bytes) {
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

QByteArray PictureBytes(const char* format) {
    QImage image(48, 64, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace discstart
