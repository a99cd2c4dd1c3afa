#pragma once

#include <vector>

#include "content/discovery.h"
#include "kit/finding.h"

namespace discstart {

// What the folder's file lists make the window show: the movie, picture and page that win,
// the title strip, and whether the picture decodes as the format its name says.
std::vector<Finding> CheckContent(const DiscContent& content);

}  // namespace discstart
