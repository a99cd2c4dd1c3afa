#include "run_program.h"

#include <QProcess>

Outcome Execute(const QString& program, const QStringList& args, const QStringList& env,
                const QString& folder) {
    QProcess process;
    QProcessEnvironment clean;
    clean.insert("PATH", qEnvironmentVariable("PATH"));
    for (const auto& pair : env) clean.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process.setProcessEnvironment(clean);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty()) process.setWorkingDirectory(folder);
    process.start(program, args);
    if (!process.waitForFinished(120000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}
