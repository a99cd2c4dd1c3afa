#pragma once

#include <QByteArray>
#include <QList>

namespace discstart {

// Starts `program`, looked up on PATH, with exactly these argument bytes (never through a
// shell), in `workingDirectory` and a session of its own, and does not wait for it.
// Returns the child's process id, or -1 when nothing could be started. POSIX only: QProcess
// would re-encode the arguments as UTF-8 and mangle a name that is not.
qint64 StartDetached(const QByteArray& program, const QList<QByteArray>& arguments,
                     const QByteArray& workingDirectory);

}  // namespace discstart
