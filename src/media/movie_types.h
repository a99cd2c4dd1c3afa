#pragma once

#include <cstdint>
#include <string>

namespace discstart {

// The records the readers fill and the panel shows. Texts hold the file's raw bytes;
// they are decoded for display only (see info/display_text.h).

struct MovieTags {
    std::string title;
    std::string author;
    std::string copyright;
    std::string language;
    std::string software;
    std::string comment;
    std::string genre;

    bool operator==(const MovieTags&) const = default;
};

// OggMedia is an OGM file (an OGM stream header first) or an Ogg file of no known layout, read
// at its fixed offsets; Ogg is a standard Ogg file, read from its streams' own headers.
enum class MovieFileKind { Avi, OggMedia, Ogg, Mp4, Matroska, Other };

struct AviHeaderInfo {
    std::string signature;  // the last four bytes compared: "OggS"/"OGGS" at 0 or the form type at 8
    std::int32_t riffSize = 0;
    std::int32_t avihSize = 0;
    std::int32_t microSecPerFrame = 0;
    std::int32_t totalFrames = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t videoListSize = 0;
    std::string videoCodec;  // four raw bytes
    std::int32_t audioHeaderSize = 0;
    std::int16_t audioFormatTag = 0;
    std::int16_t audioChannels = 0;
    std::int32_t audioSampleRate = 0;
    std::int32_t audioBytesPerSec = 0;
    // Where the two stream headers' data start; kept for the reader's own use.
    std::int32_t videoStreamDataPos = 0;
    std::int32_t audioStreamDataPos = 0;
    // An OpenDML film (over 1 GiB: further RIFF chunks after the first): the file's length and
    // the extended header's frame count, which stand for the whole film. Zero for every other
    // file, and where the extended header is not found.
    std::int64_t openDmlLength = 0;
    std::uint32_t openDmlFrames = 0;

    bool operator==(const AviHeaderInfo&) const = default;
};

struct OggStreamInfo {
    std::string videoCodec;  // four raw bytes
    std::string frameRateText;
    std::string widthText;
    std::string heightText;
    std::string channelsText;
    std::string sampleRateText;
    std::string bitrateText;

    bool operator==(const OggStreamInfo&) const = default;
};

const char* KindName(MovieFileKind kind);

}  // namespace discstart
