#pragma once

#include <string>
#include <vector>

#include "kit/finding.h"
#include "media/movie_types.h"

namespace discstart {

// The tag lines as the panel writes them: all blank, lines cut to their length, texts that are
// not UTF-8 and so are read as Windows-1252.
std::vector<Finding> CheckTagLines(const MovieTags& tags, const std::string& file);

// The ffmpeg command that fills the four tags of `file` (a copy, named tagged-FILE).
std::string TagCommand(const std::string& file);

}  // namespace discstart
