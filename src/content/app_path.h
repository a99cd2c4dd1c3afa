#pragma once

#include <string>

namespace discstart {

// The directory, then the system's separator unless the directory already ends in one (a drive
// root such as D:\ or /), then the name. Paths are the system's bytes (system/system.h).
std::string AppFilePath(const std::string& directory, const std::string& name);

// The directory the program runs from.
std::string ApplicationDirectory();

}  // namespace discstart
