#include "picture_load.h"

#include "picture.h"

PictureLoad::PictureLoad(const QString& path, const QSize& target, QObject* parent) : QObject(parent) {
    BoundPictureDecoders();
    work_.start(
        this, [path, target] { return LoadCoverPicture(path, target); },
        [this](const QImage& picture) { emit loaded(picture); });
}
