#include "app/command_line.h"

#include <QFileInfo>

namespace discstart {

namespace {

constexpr const char* Help =
    "usage: discstart [FOLDER]\n"
    "\n"
    "The start-up window of a movie disc: the cover, the film's name, its tags and facts, the page,\n"
    "and a play button. On a disc it shows the folder it lies in; installed, it shows FOLDER, the\n"
    "disc's folder (discstart /media/cdrom).\n";

// Qt's own options that take the next argument as their value.
bool TakesValue(const QString& option) {
    static const QStringList options = {
        "-platform",     "-platformpluginpath", "-platformtheme", "-plugin",     "-display",
        "-geometry",     "-qwindowgeometry",    "-style",         "-stylesheet", "-title",
        "-qwindowtitle", "-qwindowicon",        "-session",       "-name"};
    return options.contains(option);
}

// The same folder, by where it leads.
bool SameFolder(const QString& a, const QString& b) {
    const QString realA = QFileInfo(a).canonicalFilePath();
    return !realA.isEmpty() && realA == QFileInfo(b).canonicalFilePath();
}

StartRequest Refuse(const QString& message, int status) {
    return {StartRequest::Action::Refuse, {}, message, status};
}

}  // namespace

StartRequest ReadCommandLine(const QStringList& args, const QString& programFolder,
                             const QString& installedFolder,
                             const std::function<bool(const QString&)>& holdsContent) {
    QStringList folders;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            return {StartRequest::Action::Help, {}, QString::fromLatin1(Help), 0};
        if (TakesValue(arg)) ++i;
        if (!arg.startsWith(QLatin1Char('-'))) folders << arg;
    }
    if (folders.size() > 1)
        return Refuse(
            QStringLiteral("discstart: one disc folder, not %1\n").arg(folders.join(QLatin1Char(' '))), 2);
    if (folders.size() == 1) {
        if (!QFileInfo(folders[0]).isDir())
            return Refuse(QStringLiteral("discstart: %1 is not a folder\n").arg(folders[0]), 1);
        return {StartRequest::Action::Window, folders[0], {}, 0};
    }
    if (!installedFolder.isEmpty() && SameFolder(programFolder, installedFolder) &&
        !holdsContent(programFolder)) {
        return Refuse(QStringLiteral("discstart: the start-up window of a movie disc: give the disc's folder "
                                     "(discstart /media/cdrom)\n"),
                      1);
    }
    return {};
}

}  // namespace discstart
