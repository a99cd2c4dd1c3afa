#pragma once

#include <QByteArray>

namespace discstart {

enum class StandardStream { Out, Err };

// Writes UTF-8 text to standard output or error and flushes it: the bytes themselves to a file,
// a pipe or a terminal; the text itself to a Windows console, which would read bytes in its own
// code page. False when the write failed (errno says why, where it knows).
bool WriteStandard(StandardStream stream, const QByteArray& utf8);

}  // namespace discstart
