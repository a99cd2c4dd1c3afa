#include "info/naming.h"

#include <array>
#include <string_view>

#include "text/number_pattern.h"

namespace discstart {

namespace {

struct VideoCodecRow {
    std::string_view code;
    std::string_view name;
    bool xvid;
};

// Tried in order, first match wins; codes are exact and case-sensitive.
constexpr std::array<VideoCodecRow, 23> VideoCodecs{{
    {"divx", "DivX 4", false},
    {"DIVX", "DivX 4", false},
    {"div2", "MS MPEG4 v2", false},
    {"DIV2", "MS MPEG4 v2", false},
    {"div3", "DivX MPEG4 v3", false},
    {"DIV3", "DivX MPEG4 v3", false},
    {"div4", "DivX MPEG4 v4", false},
    {"DIV4", "DivX MPEG4 v4", false},
    {"div5", "DivX 5", false},
    {"cvid", "Cinepak Codec", false},
    {"dx50", "DivX 5", false},
    {"iv50", "Intel Indeo r5.0", false},
    {"wmv2", "Windows Media Video 8", false},
    {"xvid", "Xvid MPEG-4", true},
    {"XVID", "Xvid MPEG-4", true},
    {"mrle", "Microsoft RLE", false},
    {"yvu9", "Indeo Video Raw 1.1", false},
    {"vdom", "VDOnet VDOWave", false},
    {"mpv4", "MS MPEG-4 Video Codec V1", false},
    {"mp42", "MS MPEG-4 Video Codec V2", false},
    {"mp43", "Microcrap MPEG4 V3", false},
    {"i263", "Intel I.263 Video Driver 2.55.012", false},
    {"iv41", "Intel Indeo Video Interactive", false},
}};

struct BitrateStep {
    double from;
    double to;
    std::string_view text;
};

// Closed ranges, tried from the top. The 192 text and the 112 range's upper bound are
// what players of these discs have always shown; keep them.
constexpr std::array<BitrateStep, 8> BitrateSteps{{
    {248, 256, "256 Kbit/s"},
    {216, 224, "224 Kbit/s"},
    {184, 192, "192 KBit/s"},
    {152, 160, "160 Kbit/s"},
    {122, 128, "128 Kbit/s"},
    {106, 114, "112 Kbit/s"},
    {90, 96, "96 Kbit/s"},
    {60, 64, "64 Kbit/s"},
}};

}  // namespace

VideoCodecLookup VideoCodecName(const std::string& code) {
    for (const auto& row : VideoCodecs) {
        if (code == row.code) return {std::string(row.name), row.xvid};
    }
    return {code, false};
}

std::string AudioCodecName(std::int16_t formatTag) {
    switch (formatTag) {
        case 0:
        case 1:
            return "PCM";
        case 0x55:
            return "MPEG-1 Layer 3";
        case 0x161:
            return "DivX;-) Audio";
        case 0x2000:
            return "AC3-Digital";
        default:
            return std::to_string(formatTag);
    }
}

std::string AudioBitrateText(std::int32_t bytesPerSec, bool steps) {
    const double rate = bytesPerSec / 1024.0 * 8;
    if (steps) {
        for (const auto& step : BitrateSteps) {
            if (rate >= step.from && rate <= step.to) return std::string(step.text);
        }
    }
    // The pattern shows no separator or grouping, so any regional format gives the same text.
    return FormatPattern(RoundHalfEven(rate), Pattern::Kbits, NumberFormat::English());
}

std::string ChannelCountText(std::int16_t channels) {
    switch (channels) {
        case 1:
            return "1 (mono)";
        case 2:
            return "2 (stereo)";
        case 5:
            return "5 (surround)";
        default:
            return std::to_string(channels);
    }
}

}  // namespace discstart
