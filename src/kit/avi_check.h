#pragma once

#include <string>
#include <vector>

#include "kit/finding.h"
#include "media/movie_types.h"
#include "media/riff/avi_layout.h"

namespace discstart {

// Where the launcher's fixed header positions part from the file's real structure, and
// the stream facts it shows wrongly: stream order, audio format, byte rate, and an OpenDML film
// whose whole size and length the launcher's `header` reading did not find.
std::vector<Finding> CheckAviLayout(const AviLayout& layout, const AviHeaderInfo& header,
                                    const std::string& file);

}  // namespace discstart
