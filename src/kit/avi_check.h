#pragma once

#include <string>
#include <vector>

#include "kit/avi_layout.h"
#include "kit/finding.h"

namespace discstart {

// Where the launcher's fixed header positions part from the file's real structure, and
// the stream facts it shows wrongly: stream order, audio format, byte rate, OpenDML size.
std::vector<Finding> CheckAviLayout(const AviLayout& layout, const std::string& file);

}  // namespace discstart
