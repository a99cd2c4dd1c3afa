#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "bytes/byte_file.h"
#include "media/movie_types.h"
#include "text/number_format.h"

namespace discstart {

namespace Ogg {

// The four bytes at offset 37 (zero bytes where the file ends), empty when it cannot be opened.
std::string ReadOggVideoCodec(const std::string& path, const FileOpener& files = DiskFiles());

// The header fields as numbers, for callers that want them without the panel's texts.
struct OggStreamNumbers {
    std::string videoCodec;     // four raw bytes
    std::int32_t timeUnit = 0;  // 100 ns units per frame
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t channels = 0;
    std::int32_t sampleRate = 0;
    std::int32_t nominalBitrate = 0;  // bits per second

    bool operator==(const OggStreamNumbers&) const = default;
};

// Fills `info` from the video header on the first page and the Vorbis identification
// header on the second, and returns every field it read as a number (those past the end of
// the file as zero; after a time unit of 0 too, though `info` stops there). Nothing when the
// file cannot be opened. Never throws.
std::optional<OggStreamNumbers> ReadOggInfo(const std::string& path, const NumberFormat& format,
                                            OggStreamInfo& info, const FileOpener& files = DiskFiles());

}  // namespace Ogg

}  // namespace discstart
