#include "content/picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <span>

#include "content/file_read.h"
#include "media/jpeg/jpeg_layout.h"

namespace discstart {

namespace {

qint64 Pixels(const QSize& size) {
    return qint64(size.width()) * size.height();
}

std::span<const std::uint8_t> Span(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

bool WithinJpegBudget(const Jpeg::Layout& layout) {
    return layout.valid && layout.scans <= MaxJpegScans && layout.blockScans <= quint64(MaxJpegBlockScans) &&
           layout.coefficientBytes <= quint64(MaxDecoderBytes);
}

// The size Qt's JPEG reader has libjpeg decode to (M/8 of the stored size) before it scales
// the rest of the way to `target`.
QSize JpegDecodedSize(const QSize& stored, const QSize& target) {
    if (target.isEmpty()) return stored;
    const double f =
        std::min(double(stored.width()) / target.width(), double(stored.height()) / target.height());
    const int eighths = std::clamp(int(std::ceil(8 / f)), 1, 8);
    return {(stored.width() * eighths + 7) / 8, (stored.height() * eighths + 7) / 8};
}

}  // namespace

void BoundPictureDecoders() {
    static const bool bounded = [] {
        // libjpeg takes the limit in thousands of bytes; past it, having no backing store, it
        // gives up on the picture instead of allocating.
        if (!qEnvironmentVariableIsSet("JPEGMEM"))
            qputenv("JPEGMEM", QByteArray::number(MaxDecoderBytes / 1000));
        return true;
    }();
    (void)bounded;
}

QImage DecodePicture(const QByteArray& bytes, const QByteArray& formatHint, const QSize& target,
                     qint64 maxPixels) {
    BoundPictureDecoders();
    if (bytes.isEmpty()) return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const bool jpeg = Jpeg::LooksLikeJpeg(Span(bytes));
    // The format is named, not detected: probing by content loads every image plugin (the SVG
    // one pulls in a whole library). Content decides only when the name's format fails.
    QImageReader reader(&buffer, jpeg ? QByteArray("jpeg") : formatHint);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) {
        buffer.seek(0);
        reader.setDevice(&buffer);  // forgets the hint
        reader.setFormat({});
        reader.setAutoDetectImageFormat(true);
    }
    const QSize stored = reader.size();
    if (!stored.isValid()) return {};
    if (jpeg) {
        if (!WithinJpegBudget(Jpeg::ReadLayout(Span(bytes)))) return {};
        if (Pixels(JpegDecodedSize(stored, target)) > std::min(MaxDecodedPixels, maxPixels)) return {};
    } else if (Pixels(stored) > maxPixels) {
        return {};
    }
    // A format's header may claim less than it decodes to (a GIF's frame against its screen):
    // the decoder may not allocate past the cap, and what comes out is checked again.
    const qint64 decodedCap = jpeg ? std::min(MaxDecodedPixels, maxPixels) : maxPixels;
    if (!target.isEmpty() && reader.supportsOption(QImageIOHandler::ScaledSize)) reader.setScaledSize(target);
    QImage image;
    {
        // The limit is process-wide and the cover and a page's pictures decode on workers at
        // once: each decode holds it for itself.
        static QMutex limitLock;
        const QMutexLocker locked(&limitLock);
        QImageReader::setAllocationLimit(int(std::max<qint64>(1, (decodedCap * 4 + (1 << 20) - 1) >> 20)));
        image = reader.read();
    }
    if (image.isNull() || Pixels(image.size()) > std::max(decodedCap, Pixels(target))) return {};
    if (!target.isEmpty() && image.size() != target) {
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

QImage LoadCoverPicture(const std::string& path, const QSize& target) {
    if (path.empty() || target.isEmpty()) return {};
    // Read by its exact bytes: a name that is not UTF-8 would not survive Qt's own encoding.
    const auto bytes = ReadFileWithin(path, MaxPictureFileBytes);
    if (!bytes) return {};
    const std::size_t dot = path.rfind('.');
    const QByteArray suffix =
        QByteArray::fromStdString(dot == std::string::npos ? path : path.substr(dot + 1));
    return DecodePicture(*bytes, suffix.toLower(), target);
}

}  // namespace discstart
