#pragma once

#include <QString>
#include <QStringList>

namespace discstart {

struct Outcome {
    int status = -1;
    QString output;  // stdout and stderr together
};

// A program run with nothing of this environment but PATH (the disc must not depend on it).
Outcome Execute(const QString& program, const QStringList& args, const QStringList& env = {});

// make-disc with this build's programs, no Windows build or one-file Linux launcher unless `env` names one.
Outcome RunMakeDisc(const QStringList& args, const QStringList& env = {});

// The bytes of a file, empty when it cannot be read.
QByteArray FileBytes(const QString& path);

}  // namespace discstart
