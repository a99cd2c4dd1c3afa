#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace discstart {

using Bytes = std::vector<std::uint8_t>;

// Little-endian writes at absolute offsets; the buffer grows with zero bytes as needed.
struct ByteWriter {
    Bytes bytes;

    ByteWriter& text(std::size_t offset, const std::string& value);
    ByteWriter& int16(std::size_t offset, std::int16_t value);
    ByteWriter& int32(std::size_t offset, std::int32_t value);
    ByteWriter& int64(std::size_t offset, std::int64_t value);
    ByteWriter& byte(std::size_t offset, std::uint8_t value);
    ByteWriter& size(std::size_t length);  // grows or cuts to exactly `length`
};

// A two-stream AVI header laid out chunk by chunk: main header of A bytes, a video strl
// list of S bytes, an audio strl list whose strh chunk has H bytes.
struct AviHeaderRecipe {
    std::string first4 = "RIFF";
    std::string form = "AVI ";
    std::int32_t riffSize = 734'003'192;
    std::int32_t avihSize = 56;  // A
    std::int32_t microSecPerFrame = 40'000;
    std::int32_t totalFrames = 135'000;
    std::int32_t width = 640;
    std::int32_t height = 272;
    std::int32_t videoListSize = 116;  // S
    std::string videoCodec = "XVID";
    std::int32_t audioHeaderSize = 56;  // H
    std::int16_t audioFormatTag = 85;
    std::int16_t audioChannels = 2;
    std::int32_t audioSampleRate = 48'000;
    std::int32_t audioBytesPerSec = 16'000;
    std::size_t trailingBytes = 64;
};
Bytes BuildAvi(const AviHeaderRecipe& layout);

// A LIST/INFO chunk. Each sub-chunk stores `storedSize` (text length plus the zero byte
// unless given) and its text, zero-terminated, padded to even length.
struct InfoEntry {
    std::string id;
    std::string text;
    std::int32_t storedSize = -1;  // -1: text length + 1
};
Bytes BuildInfoContent(const std::vector<InfoEntry>& entries);
// A file of `fileLength` zero bytes with "INFO" at q, the list size at q-4 and the content
// after "INFO"; `listSize` defaults to the content's length plus four.
Bytes BuildInfoFile(std::size_t q, const Bytes& content, std::size_t fileLength, std::int64_t listSize = -1);

// Two Ogg pages: an OGM video stream header, then a Vorbis identification header.
struct OgmLayout {
    std::string capture = "OggS";
    std::string videoCodec = "XVID";
    std::int64_t timeUnit = 400'000;
    std::int32_t width = 640;
    std::int32_t height = 352;
    std::uint8_t channels = 2;
    std::int32_t sampleRate = 48'000;
    std::int32_t nominalBitrate = 128'000;
};
Bytes BuildOgm(const OgmLayout& layout);

}  // namespace discstart
