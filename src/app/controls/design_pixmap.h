#pragma once

#include <QPixmap>
#include <QString>

namespace discstart {

// A design picture from the resources (`fileName` under :/assets/). On screens with a
// device pixel ratio above 1 its `name@2x.png` twin is used when it exists, else its
// `name.png` copy (same pixels as the GIF) when there is one. A null pixmap
// when neither exists.
QPixmap LoadDesignPixmap(const QString& fileName, qreal devicePixelRatio);
QString DesignResource(const QString& fileName);

}  // namespace discstart
