#pragma once

#include <QString>
#include <QStringList>

namespace discstart {

struct Options {
    enum class Mode { Describe, Check, Help, Version };
    Mode mode = Mode::Describe;
    bool json = false;
    QStringList paths;
    QString error;  // a usage error, naming the argument at fault; empty when the line is good
};

// discinfo's command line (the arguments after the program's name). `--` ends the options, so
// a path may start with '-'.
Options ParseOptions(const QStringList& args);

}  // namespace discstart
