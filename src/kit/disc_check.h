#pragma once

#include <QString>
#include <QTextStream>
#include <string>
#include <vector>

#include "kit/finding.h"

namespace discstart {

// Reads the disc folder as the launcher will and lists what it will show less or other
// than the author expects, folder findings first, then the movie's.
std::vector<Finding> CheckDisc(const std::string& folder);

// Prints one line per finding and returns the exit status: 0 clean (notes at most),
// 1 warnings, 2 errors.
int RunDiscCheck(const std::string& folder, QTextStream& out);

}  // namespace discstart
