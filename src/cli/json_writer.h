#pragma once

#include <QByteArray>
#include <QJsonObject>

namespace discstart {

// One line of compact JSON. Unlike QJsonDocument it keeps the bytes of a name that is not UTF-8:
// such a name's escaped bytes (U+DC80..U+DCFF, see native_name.h) are written as \udcNN, the
// "surrogateescape" form that Python's os.fsencode() and similar turn back into the same bytes.
QByteArray CompactJson(const QJsonObject& object);

}  // namespace discstart
