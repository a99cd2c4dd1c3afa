#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace discstart {

struct Outcome {
    int status = -1;  // -1 when it crashed or hung
    QByteArray out;
    QByteArray err;
};

struct RunSetup {
    QString lang = "en_US.UTF-8";
    QString workingDirectory;
    QStringList environment;    // NAME=value, added
    QString stdoutRedirect;     // a shell redirection of discinfo's stdout, such as ">/dev/full"
    bool unprivileged = false;  // as the user nobody (for root, permissions do not count)
    bool closedOutput = false;  // stdout a pipe whose reader has gone ("| head -0")
};

// discinfo with these arguments; through sh when its output is redirected.
Outcome Discinfo(const QStringList& args, const RunSetup& setup = {});

}  // namespace discstart
