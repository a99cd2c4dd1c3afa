#include "design_pixmap.h"

#include <QFile>
#include <QFileInfo>

QString DesignResource(const QString& fileName) {
    return QStringLiteral(":/assets/") + fileName;
}

QPixmap LoadDesignPixmap(const QString& fileName, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        const QString doubled =
            DesignResource(QFileInfo(fileName).completeBaseName() + QStringLiteral("@2x.png"));
        if (QFile::exists(doubled)) {
            QPixmap pixmap(doubled);
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    return QPixmap(DesignResource(fileName));
}
