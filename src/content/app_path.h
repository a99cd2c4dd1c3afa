#pragma once

#include <QString>

namespace discstart {

// The directory, then the native separator unless the directory already ends in one
// (a drive root such as D:\ or /), then the name.
QString AppFilePath(const QString& directory, const QString& name);

// The directory the program runs from, in native form.
QString ApplicationDirectory();

}  // namespace discstart
