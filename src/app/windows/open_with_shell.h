#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace discstart {

// Opens the file with the application its type is associated with, through the shell
// (ShellExecuteW, the default action, a normal window, working folder C:\), `owner` owning
// whatever that application shows. A path the shell refuses as not found is tried again in the
// forms LongPathAlternatives gives. True when the shell started something.
bool OpenWithShell(const QString& path, QWidget* owner);

// What to hand the shell instead of `path` (native separators) when it refuses it: its short
// (8.3) form, if the file system gave one (`shortPath`), then, for a path too long for the
// shell, its \\?\ form, which no length limit applies to.
QStringList LongPathAlternatives(const QString& path, const QString& shortPath);

}  // namespace discstart
