#pragma once

#include <string>
#include <vector>

#include "kit/finding.h"
#include "media/riff/avi_layout.h"

namespace discstart {

class ByteFile;

// Whether the launcher's byte search for "INFO" lands on the real INFO list and can use it.
std::vector<Finding> CheckInfoList(const AviLayout& layout, ByteFile& file, const std::string& name);

}  // namespace discstart
