#pragma once

#include <string>

namespace discstart {

// Makes `link` a symbolic link to `target` (relative to the link's folder, or absolute), and
// waits for it where another process makes it. False when this system makes none.
bool MakeSymbolicLink(const std::string& target, const std::string& link);

}  // namespace discstart
