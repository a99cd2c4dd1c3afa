#pragma once

#include <string>

#include "bytes/byte_file.h"
#include "media/movie_types.h"

namespace discstart {

namespace DivX {

// Fills `tags` from the INFO list found between offsets 319 and 8999; leaves it as it was
// when the file cannot be read or the list is unusable. Never throws.
void ReadInfoTags(const std::string& path, MovieTags& tags, const FileOpener& files);
// The same from a file the caller opened.
void ReadInfoTags(ByteFile& file, MovieTags& tags);

}  // namespace DivX

}  // namespace discstart
