#include "page/page_document.h"

#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextFragment>
#include <algorithm>

#include "content/native_name.h"
#include "content/picture.h"
#include "page/scan/page_budgets.h"

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

QUrl EngineName(const std::string& name) {
    // As the engine turns the name it read into a URL.
    return QUrl(QString::fromStdString(name));
}

}  // namespace

PageDocument::PageDocument(const PageFolder& folder, const QUrl& url, QObject* parent)
    : QTextDocument(parent), folder_(folder), url_(url) {}

std::string PageDocument::readStyleSheet(const std::string& name) {
    const QUrl url = url_.resolved(EngineName(name));
    const QString path = LocalFilePath(url);
    if (styleSheetFiles_.contains(path)) return {};
    PageFile file = folder_.open(url);
    if (file.refusal != PageRefusal::None) return {};
    QByteArray bytes;
    const qint64 budget = std::min<qint64>(MaxStyleBytes, MaxPageResourceBytes - bytesRead_);
    if (!ReadWhole(*file.file, budget, bytes) || bytes.isEmpty()) return {};
    bytesRead_ += bytes.size();
    styleSheetFiles_.insert(path, true);
    styleSheets_.insert(QString::fromStdString(name), bytes);
    return bytes.toStdString();
}

void PageDocument::useStyleSheet(const std::string& name) {
    const QString key = QString::fromStdString(name);
    addResource(StyleSheetResource, EngineName(name), styleSheets_.value(key));
}

// Style sheets come only as measured; a picture is read once per file on the worker, and kept
// under the name asked for: the window's thread finds it there, and reads nothing.
QVariant PageDocument::loadResource(int type, const QUrl& name) {
    if (sealed_ || type != ImageResource) {
        addResource(type, name, Nothing(type));
        return Nothing(type);
    }
    const QUrl url = url_.resolved(name);
    const QString path = LocalFilePath(url);
    auto known = files_.constFind(path);
    if (known == files_.constEnd()) known = files_.insert(path, readPicture(url));
    QVariant value = known->isValid() ? *known : Nothing(type);
    addResource(type, name, value);
    if (known->isValid()) pictureNames_.insert(name, path);
    return value;
}

// Reads and decodes a picture of the folder within what is left of the budgets; an invalid
// value when it cannot.
QVariant PageDocument::readPicture(const QUrl& url) {
    PageFile file = folder_.open(url);
    QByteArray bytes;
    if (file.refusal != PageRefusal::None || !ReadWhole(*file.file, MaxPageResourceBytes - bytesRead_, bytes))
        return {};
    bytesRead_ += bytes.size();
    const QString path = LocalFilePath(url);
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
