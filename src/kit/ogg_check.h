#pragma once

#include <string>
#include <vector>

#include "kit/finding.h"

namespace discstart {

class ByteFile;

// Whether the video header and the Vorbis identification header lie where the launcher
// reads them: the first packet at offset 28, the second page at 85 with its packet at 113.
std::vector<Finding> CheckOggPages(ByteFile& file, const std::string& name);

}  // namespace discstart
