#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "media/riff/riff_walk.h"

namespace discstart {

class ByteFile;

struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t avgBytesPerSec = 0;
    // For the extensible tag 0xFFFE: the real codec's tag, the first two bytes of the
    // sub-format GUID.
    std::optional<std::uint16_t> subFormatTag;
};

struct StreamLayout {
    RiffChunk list;  // LIST strl
    std::vector<RiffChunk> chunks;
    std::string type;     // strh fccType: "vids", "auds", "txts", ...
    std::string handler;  // strh fccHandler
    std::optional<WaveFormat> audio;
};

struct MainHeader {
    std::uint32_t microSecPerFrame = 0;
    std::uint32_t totalFrames = 0;
};

// The header structure of an AVI file as the chunks really lie, walked from the start.
struct AviLayout {
    std::uint64_t fileLength = 0;
    std::vector<RiffChunk> top;           // RIFF AVI, then RIFF AVIX for an OpenDML file
    std::vector<RiffChunk> movieChunks;   // inside the first RIFF
    std::vector<RiffChunk> headerChunks;  // inside LIST hdrl
    std::optional<RiffChunk> headerList;
    std::optional<MainHeader> main;
    std::optional<std::uint32_t> odmlTotalFrames;  // dmlh: frames of the whole movie
    std::vector<StreamLayout> streams;
    std::optional<RiffChunk> infoList;
};

AviLayout ReadAviLayout(ByteFile& file, std::uint64_t fileLength);

}  // namespace discstart
