#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace discstart {

// Movie files built byte by byte, laid out the way common AVI and OGM muxers write them.

struct AviFields {
    std::int32_t riffSize = 734'003'192;
    std::int32_t microSecPerFrame = 40'000;
    std::int32_t totalFrames = 135'000;
    std::int32_t width = 640;
    std::int32_t height = 272;
    std::string videoCodec = "XVID";
    std::int16_t audioFormatTag = 85;
    std::int16_t audioChannels = 2;
    std::int32_t audioSampleRate = 48'000;
    std::int32_t audioBytesPerSec = 16'000;
    // Bytes of an extra chunk (an OpenDML "indx") in the video stream list.
    std::uint32_t videoIndexSize = 0;
    // INFO sub-chunks (identifier, text); no INFO list at all when empty.
    std::vector<std::pair<std::string, std::string>> info{};
    // Bytes of movie data after the headers.
    std::uint32_t movieDataSize = 2048;
};

std::string AviBytes(const AviFields& fields);

struct OggFields {
    std::string videoCodec = "XVID";
    std::int32_t timeUnit = 400'000;  // 100 ns units per frame
    std::int32_t width = 640;
    std::int32_t height = 352;
    std::uint8_t channels = 2;
    std::int32_t sampleRate = 48'000;
    std::int32_t nominalBitrate = 128'000;
    std::uint32_t movieDataSize = 4096;
};

std::string OggBytes(const OggFields& fields);

}  // namespace discstart
