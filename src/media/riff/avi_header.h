#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "bytes/byte_file.h"
#include "media/movie_types.h"

namespace discstart {

// Recognises the movie file's kind and, for an AVI file, reads the header numbers at the
// positions the standard header order puts them (main header, video strl, audio strl).
// Fields past the end of the file read as zero bytes. A file longer than its first RIFF chunk
// gets one further read, for the OpenDML extended header. Never throws.
MovieFileKind ReadAviHeader(const std::string& path, AviHeaderInfo& info, const FileOpener& files);
// The same from a file the caller opened; `length` is its length where known.
MovieFileKind ReadAviHeader(ByteFile& file, std::optional<std::int64_t> length, AviHeaderInfo& info);

}  // namespace discstart
