#pragma once

#include <QString>
#include <QStringList>

// Where a disc made by make-disc keeps Qt: the machine's own tree under qt/.
#define QT_LIBS "qt/lib/x86_64-linux-gnu"
#define QT_PLUGINS QT_LIBS "/qt6/plugins"

struct Outcome {
    int status = -1;
    QString output;  // stdout and stderr together
};

// A program run with nothing of this environment but PATH and `env` (a disc must not depend
// on it), in `folder` if one is given.
Outcome Execute(const QString& program, const QStringList& args, const QStringList& env = {},
                const QString& folder = {});
