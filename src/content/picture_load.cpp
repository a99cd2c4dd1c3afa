#include "content/picture_load.h"

#include "content/picture.h"

namespace discstart {

PictureLoad::PictureLoad(const std::string& path, const QSize& target, QObject* parent) : QObject(parent) {
    BoundPictureDecoders();
    work_.start(
        this, [path, target] { return LoadCoverPicture(path, target); },
        [this](const QImage& picture) { emit loaded(picture); });
}

}  // namespace discstart
