#include "run_discinfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace discstart {

DiscinfoRun RunProgram(const QByteArray& program, const QList<QByteArray>& arguments) {
    DiscinfoRun run;
    QTemporaryDir dir;
    const QByteArray out = QFile::encodeName(dir.filePath("out"));
    const QByteArray err = QFile::encodeName(dir.filePath("err"));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{const_cast<char*>(program.constData())};
    for (const QByteArray& argument : arguments) argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    pid_t child = -1;
    const int started = posix_spawn(&child, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return run;

    int status = 0;
    for (int waited = 0; ::waitpid(child, &status, WNOHANG) == 0; ++waited) {
        if (waited == 1000) {  // ten seconds: it hangs
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            run.timedOut = true;
            break;
        }
        QThread::msleep(10);
    }
    if (!run.timedOut && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    QFile outFile(dir.filePath("out"));
    QFile errFile(dir.filePath("err"));
    if (outFile.open(QIODevice::ReadOnly)) run.out = outFile.readAll();
    if (errFile.open(QIODevice::ReadOnly)) run.err = errFile.readAll();
    return run;
}

}  // namespace discstart
