#pragma once

#include <QByteArray>
#include <QList>

namespace discstart {

struct DiscinfoRun {
    int status = -1;  // exit status, -1 when it crashed or had to be killed
    bool timedOut = false;
    QByteArray out;
    QByteArray err;
};

// Runs the program at exactly these bytes with exactly these argument bytes (QProcess would
// re-encode them), and kills it if it has not finished in a few seconds.
DiscinfoRun RunProgram(const QByteArray& program, const QList<QByteArray>& arguments);
inline DiscinfoRun RunDiscinfo(const QList<QByteArray>& arguments) {
    return RunProgram(DISCINFO_PATH, arguments);
}

}  // namespace discstart
