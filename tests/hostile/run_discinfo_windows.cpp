// Windows hands a program its arguments as UTF-16 text: QProcess re-encodes nothing there.
#include <QFile>
#include <QProcess>
#include <QStringList>

#include "run_discinfo.h"

namespace discstart {

DiscinfoRun RunProgram(const QByteArray& program, const QList<QByteArray>& arguments) {
    DiscinfoRun run;
    QStringList texts;
    for (const QByteArray& argument : arguments) texts << QFile::decodeName(argument);
    QProcess process;
    process.start(QFile::decodeName(program), texts);
    if (!process.waitForStarted()) return run;
    if (!process.waitForFinished(10000)) {  // ten seconds: it hangs
        process.kill();
        process.waitForFinished();
        run.timedOut = true;
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.status = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

}  // namespace discstart
