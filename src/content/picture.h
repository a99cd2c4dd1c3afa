#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Biggest picture we decode; a header that claims more is refused, not allocated.
inline constexpr qint64 MaxPicturePixels = 64LL * 1024 * 1024;

// The first image of the file at `path`, format found from its content, stretched to
// `target` without keeping proportions. A null image when it cannot be read or decoded.
QImage LoadCoverPicture(const QString& path, const QSize& target);
