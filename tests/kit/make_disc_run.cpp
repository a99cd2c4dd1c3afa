#include "make_disc_run.h"

#include <QFile>
#include <QProcess>

namespace discstart {

Outcome Execute(const QString& program, const QStringList& args, const QStringList& env) {
    QProcess process;
    QProcessEnvironment clean;
    clean.insert("PATH", qEnvironmentVariable("PATH"));
    for (const auto& pair : env) clean.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process.setProcessEnvironment(clean);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(300000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

Outcome RunMakeDisc(const QStringList& args, const QStringList& env) {
    return Execute(MAKE_DISC, args,
                   QStringList{QString("DISCSTART_LAUNCHER=") + LAUNCHER, QString("DISCINFO=") + DISCINFO,
                               "DISCSTART_WINDOWS_BUILD=/nonexistent", "DISCSTART_LINUX_BUILD=/nonexistent"} +
                       env);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace discstart
