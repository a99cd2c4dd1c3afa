#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace discstart {

// What a start of the program is asked to do. On a disc the launcher gets no command line and
// shows the folder it lies in; installed, it takes the disc's folder (discstart /media/cdrom).
struct StartRequest {
    enum class Action { Window, Help, Refuse };
    Action action = Action::Window;
    QString folder;   // Window: the disc folder, empty for the program's own
    QString message;  // Help and Refuse: what to print
    int status = 0;   // Refuse: the exit status
};

// `args` without the program's name. A path argument names the folder; arguments starting with
// '-' other than --help are Qt's own, as ever. `programFolder` is where the program lies,
// `installedFolder` where the package installs it (empty where nothing is installed); a program
// started there with no folder and nothing beside it (`holdsContent`) says what it is for.
StartRequest ReadCommandLine(const QStringList& args, const QString& programFolder,
                             const QString& installedFolder,
                             const std::function<bool(const QString&)>& holdsContent);

// Why no window can show here, or an empty text: Qt would abort on the missing display.
// `variable` reads the environment.
QString MissingDisplay(const std::function<QString(const char*)>& variable);

}  // namespace discstart
