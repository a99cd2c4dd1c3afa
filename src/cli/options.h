#pragma once

#include <QString>
#include <QStringList>

namespace discstart {

struct Options {
    enum class Mode { Describe, Check, Help, Version };
    Mode mode = Mode::Describe;
    bool json = false;
    QStringList paths;
    // --page NAME: a folder's pageFiles are those of the page NAME in it, not of the launcher's
    // page (a tool that puts a page on a disc asks what it needs from beside it).
    QString page;
    QString error;  // a usage error, naming the argument at fault; empty when the line is good
};

// discinfo's command line (the arguments after the program's name). `--` ends the options, so
// a path may start with '-'.
Options ParseOptions(const QStringList& args);

}  // namespace discstart
