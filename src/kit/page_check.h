#pragma once

#include <vector>

#include "content/discovery.h"
#include "kit/finding.h"

namespace discstart {

// Whether the page can be read and everything it refers to (pictures, style sheets, further
// pages) is on the disc, inside the folder, where the window's page view will look for it.
std::vector<Finding> CheckPage(const DiscContent& content);

}  // namespace discstart
