#pragma once

#include <QByteArray>
#include <QString>

namespace discstart {

// Pages on old discs are rarely UTF-8 and often declare nothing: a declared charset
// (byte order mark or meta tag) wins, then valid UTF-8, then Windows-1252.
QString DecodePageText(const QByteArray& bytes);

}  // namespace discstart
