#include "page/page_document.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextFragment>
#include <algorithm>

#include "content/native_name.h"
#include "content/picture.h"
#include "page/page_shape.h"

namespace discstart {

namespace {

// A picture of a page: one picture alone may not take all the page's picture memory.
constexpr qint64 MaxPagePicturePixels = 16LL * 1024 * 1024;

// What the document gets for a resource it may not have or cannot use. Never an empty value:
// the document would then read the name itself, relative to anywhere, and so would its picture
// handler for a picture that does not decode.
QVariant Nothing(int type) {
    if (type == QTextDocument::ImageResource) {
        QImage pixel(1, 1, QImage::Format_ARGB32);
        pixel.fill(Qt::transparent);
        return pixel;
    }
    return QByteArray();
}

}  // namespace

PageDocument::PageDocument(const PageFolder& folder, const QUrl& url, int styleRules, QObject* parent)
    : QTextDocument(parent), folder_(folder), url_(url), styleRules_(styleRules) {}

QVariant PageDocument::loadResource(int type, const QUrl& name) {
    if (sealed_ || (type != ImageResource && type != StyleSheetResource)) return Nothing(type);
    const QUrl url = url_.resolved(name);
    if (!folder_.holds(url)) return Nothing(type);
    const QString path = LocalFilePath(url);
    auto known = files_.constFind(path);
    if (known == files_.constEnd()) known = files_.insert(path, read(type, url));
    QVariant value = known->isValid() ? *known : Nothing(type);
    // Kept under the name asked for: the window's thread finds it there, and reads nothing.
    addResource(type, name, value);
    if (type == ImageResource && known->isValid()) pictureNames_.insert(name, path);
    return value;
}

// Reads and, for a picture, decodes a file of the folder within what is left of the budgets;
// an invalid value when it cannot.
QVariant PageDocument::read(int type, const QUrl& url) {
    const QString path = LocalFilePath(url);
    QFile file;
    if (!OpenNativeFile(file, path) || file.size() > MaxPageResourceBytes - bytesRead_) return {};
    const QByteArray bytes = file.readAll();
    bytesRead_ += bytes.size();
    if (type == StyleSheetResource) {
        styleRules_ += StyleRules(QString::fromUtf8(bytes));
        return styleRules_ <= MaxStyleRules ? QVariant(bytes) : QVariant();
    }
    const qint64 pixelsLeft = std::min(MaxPagePicturePixels, (MaxPagePictureBytes - pictureBytes_) / 4);
    const QImage picture =
        DecodePicture(bytes, path.section(QLatin1Char('.'), -1).toLower().toLatin1(), QSize(), pixelsLeft);
    if (picture.isNull()) return {};
    // In the format a pixmap is drawn from, so the window's one conversion is a plain copy.
    const QImage drawable = picture.convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    pictureBytes_ += drawable.sizeInBytes();
    return drawable;
}

void PageDocument::keepPicturesAsPixmaps() {
    QHash<QString, QPixmap> pixmaps;
    for (auto name = pictureNames_.cbegin(); name != pictureNames_.cend(); ++name) {
        auto pixmap = pixmaps.find(name.value());
        if (pixmap == pixmaps.end())
            pixmap =
                pixmaps.insert(name.value(), QPixmap::fromImage(files_.value(name.value()).value<QImage>()));
        addResource(ImageResource, name.key(), *pixmap);
    }
    for (const QString& path : pixmaps.keys()) files_.remove(path);
}

void PageDocument::loadPictures() {
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) resource(ImageResource, QUrl(format.toImageFormat().name()));
        }
    }
}

}  // namespace discstart
