#pragma once

#include <string>
#include <vector>

#include "kit/finding.h"

namespace discstart {

// Everything about the movie file that the panel will misread or a player will find slow: its
// kind, the AVI, Ogg media, MP4 or Matroska layout, the INFO list and the tag lines. `name` is how findings
// refer to it; `openError`, the system's reason when it cannot be opened, goes into that finding.
std::vector<Finding> CheckMovie(const std::string& path, const std::string& name,
                                const std::string& openError = {});

}  // namespace discstart
