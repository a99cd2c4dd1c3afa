#include "discinfo_run.h"

#include <QProcess>

Outcome Discinfo(const QStringList& args, const RunSetup& setup) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LC_ALL");
    env.remove("LC_NUMERIC");
    env.insert("LANG", setup.lang);
    for (const QString& pair : setup.environment) env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process.setProcessEnvironment(env);
    if (!setup.workingDirectory.isEmpty()) process.setWorkingDirectory(setup.workingDirectory);
    QStringList command = QStringList{DISCINFO_PATH} + args;
    if (!setup.stdoutRedirect.isEmpty()) {
        command = QStringList{"sh", "-c", "exec \"$0\" \"$@\" " + setup.stdoutRedirect} + command;
    }
    if (setup.unprivileged) {
        command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"} + command;
    }
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}
