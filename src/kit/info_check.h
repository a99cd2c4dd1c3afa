#pragma once

#include <string>
#include <vector>

#include "kit/avi_layout.h"
#include "kit/finding.h"

namespace discstart {

class ByteFile;

// Whether the launcher's byte search for "INFO" lands on the real INFO list and can use it.
std::vector<Finding> CheckInfoList(const AviLayout& layout, ByteFile& file, const std::string& name);

}  // namespace discstart
