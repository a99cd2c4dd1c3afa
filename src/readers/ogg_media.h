#pragma once

#include <string>

#include "byte_file.h"
#include "movie_types.h"
#include "number_format.h"

namespace Ogg {

// The program's one Ogg stream record.
OggStreamInfo& ProgramStreamInfo();

// The four bytes at offset 37 (zero bytes where the file ends), empty when it cannot be opened.
std::string ReadOggVideoCodec(const std::string& path, const FileOpener& files = DiskFiles());

// Fills `info` from the video header on the first page and the Vorbis identification
// header on the second. Never throws.
void ReadOggInfo(const std::string& path, const NumberFormat& format, OggStreamInfo& info,
                 const FileOpener& files = DiskFiles());
inline void ReadOggInfo(const std::string& path, const NumberFormat& format) {
    ReadOggInfo(path, format, ProgramStreamInfo());
}

}  // namespace Ogg
