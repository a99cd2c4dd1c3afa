#pragma once

#include <QByteArray>

namespace discstart {

enum class StandardStream { Out, Err };

// Writes UTF-8 text to standard output or error and flushes it: the bytes themselves to a file,
// a pipe or a terminal; the text itself to a Windows console, which would read bytes in its own
// code page. False when the write failed (errno says why, where it knows).
bool WriteStandard(StandardStream stream, const QByteArray& utf8);

// A closed standard output would hand its number to the first file the program opens, and the
// report could land in one of Qt's own descriptors: a read-only one holds the place, so that
// writing fails and is reported like any failed write. A pipe closed by its reader ("| head")
// is such a failed write too, not the end of the program: SIGPIPE is ignored.
void HoldClosedStdout();

}  // namespace discstart
