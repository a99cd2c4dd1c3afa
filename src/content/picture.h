#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <string>

namespace discstart {

// Budgets of one picture. A picture past one is left out as one that cannot be read.
inline constexpr qint64 MaxPictureFileBytes = 64LL * 1024 * 1024;
// The stored size of a picture decoded whole (every format but JPEG).
inline constexpr qint64 MaxPicturePixels = 64LL * 1024 * 1024;
// A JPEG is decoded at the size it is shown: its size once the decoder has scaled it.
inline constexpr qint64 MaxDecodedPixels = 16LL * 1024 * 1024;
// A JPEG's decode time follows its scans and the blocks each covers; a sane encoder writes
// at most a few dozen scans.
inline constexpr int MaxJpegScans = 100;
inline constexpr qint64 MaxJpegBlockScans = 64LL * 1024 * 1024;
// The decoder's own buffers: a progressive JPEG keeps every coefficient of the picture.
inline constexpr qint64 MaxDecoderBytes = 128'000'000;

// Holds libjpeg to MaxDecoderBytes (through its JPEGMEM variable, unless already set). Done by
// the first decode; call it on the main thread before pictures are decoded on others.
void BoundPictureDecoders();

// The first image of `bytes`, at `target` (stretched without keeping proportions) or, with an
// empty target, at its own size. `formatHint` is tried first when the bytes are not JPEG.
// `maxPixels` caps the size decoded. A null image when it cannot be decoded or is past a budget.
QImage DecodePicture(const QByteArray& bytes, const QByteArray& formatHint, const QSize& target,
                     qint64 maxPixels = MaxPicturePixels);

// The picture file at `path`, read by its exact name, decoded at `target`.
QImage LoadCoverPicture(const std::string& path, const QSize& target);

}  // namespace discstart
