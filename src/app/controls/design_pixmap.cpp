#include "app/controls/design_pixmap.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace discstart {

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
    const QString base = QFileInfo(fileName).completeBaseName();
    if (devicePixelRatio > 1.0) {
        const QString doubled = DesignResource(base + QStringLiteral("@2x.png"));
        if (QFile::exists(doubled)) {
            QPixmap pixmap = ReadOwnPicture(doubled);
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    // The PNG copy of a design GIF decodes without loading the GIF plugin.
    const QString copy = DesignResource(base + QStringLiteral(".png"));
    return ReadOwnPicture(QFile::exists(copy) ? copy : DesignResource(fileName));
}

}  // namespace discstart
