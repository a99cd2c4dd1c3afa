#pragma once

#include <QByteArray>
#include <QString>

#include "support/riff_bytes.h"

namespace discstart {

// Files for test disc folders.
QByteArray Raw(const media::Bytes& bytes);
QByteArray PictureBytes(const char* format);  // a small picture encoded in `format`
bool WriteFile(const QString& path, const QByteArray& bytes);

}  // namespace discstart
