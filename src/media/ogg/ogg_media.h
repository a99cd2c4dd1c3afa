#pragma once

#include <cstdint>
#include <string>

#include "bytes/byte_window.h"

namespace discstart {

namespace Ogg {

// Where every Ogg read starts: one read of the file's first bytes, enough for the OGM fields
// and for the first pages of every stream in the files writers make.
inline constexpr std::size_t HeadBlock = 4096;

// The header fields of an Ogg media file as numbers; the panel makes its texts of them.
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

// The video header on the first page and the Vorbis identification header on the second, at
// their fixed offsets in `head` (the file's first HeadBlock bytes); zero past the end of the file.
OggStreamNumbers ReadOggMedia(const ByteWindow& head);

}  // namespace Ogg

}  // namespace discstart
