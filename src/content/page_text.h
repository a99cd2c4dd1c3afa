#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace discstart {

// Pages on old discs are rarely UTF-8 and often declare nothing: a declared charset
// (byte order mark or meta tag) wins, then valid UTF-8, then Windows-1252.
QString DecodePageText(const QByteArray& bytes);
// The same for the readers' walk through a page's files: bytes in, UTF-8 out.
std::string DecodePageBytes(std::string_view bytes);

}  // namespace discstart
