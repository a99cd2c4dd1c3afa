#include "design_pixmap.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

QString DesignResource(const QString& fileName) {
    return QStringLiteral(":/assets/") + fileName;
}

namespace {

// Our own files, in the format their names say. Left to guess, Qt would instantiate every
// image plugin (the SVG one loads a library of its own) to ask about a PNG.
QPixmap ReadOwnPicture(const QString& path) {
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

}  // namespace

QPixmap LoadDesignPixmap(const QString& fileName, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        const QString doubled =
            DesignResource(QFileInfo(fileName).completeBaseName() + QStringLiteral("@2x.png"));
        if (QFile::exists(doubled)) {
            QPixmap pixmap = ReadOwnPicture(doubled);
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    return ReadOwnPicture(DesignResource(fileName));
}
