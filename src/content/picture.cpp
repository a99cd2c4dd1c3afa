#include "picture.h"

#include <QFile>
#include <QImageReader>

#include "native_name.h"

QImage LoadCoverPicture(const QString& path, const QSize& target) {
    if (path.isEmpty() || target.isEmpty()) return {};
    // Opened by its exact bytes: a name that is not UTF-8 would not survive Qt's own encoding.
    QFile file;
    if (!OpenNativeFile(file, path)) return {};
    // The name's format is tried first and the content decides when that fails: probing
    // by content alone loads every image plugin (the SVG one pulls in a whole library).
    QImageReader reader(&file, path.section(QLatin1Char('.'), -1).toLower().toLatin1());
    // With detection on, even a hinted read asks every plugin in turn, loading each.
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) {
        file.seek(0);
        reader.setDevice(&file);  // forgets the hint
        reader.setFormat({});
        reader.setAutoDetectImageFormat(true);
    }
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > MaxPicturePixels) return {};
    // Decoders that can scale while decoding (JPEG) then never build the full-size image.
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull()) return {};
    if (image.size() != target) {
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}
