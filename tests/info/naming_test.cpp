#include "info/naming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace discstart {

namespace {

struct VideoCase {
    std::string code;
    std::string name;
    bool picture;
};

TEST(VideoCodecName, KnownCodesAndCaseSensitiveFallThrough) {
    const std::vector<VideoCase> cases = {
        {"divx", "DivX 4", false},
        {"DIVX", "DivX 4", false},
        {"div3", "DivX MPEG4 v3", false},
        {"DIV3", "DivX MPEG4 v3", false},
        {"dx50", "DivX 5", false},
        {"xvid", "Xvid MPEG-4", true},
        {"XVID", "Xvid MPEG-4", true},
        {"mp43", "Microcrap MPEG4 V3", false},
        {"i263", "Intel I.263 Video Driver 2.55.012", false},
        {"iv41", "Intel Indeo Video Interactive", false},
        // Only the listed case of each code is known.
        {"DX50", "DX50", false},
        {"XviD", "XviD", false},
        {"MP43", "MP43", false},
        {"Div3", "Div3", false},
        {"DIV5", "DIV5", false},
        {"    ", "    ", false},
        // No trimming: a code must match in all four bytes.
        {"xvid ", "xvid ", false},
        {"xvi", "xvi", false},
        {"", "", false},
        {std::string("xvi\0", 4), std::string("xvi\0", 4), false},
    };
    for (const auto& c : cases) {
        const VideoCodecLookup lookup = VideoCodecName(c.code);
        EXPECT_EQ(lookup.name, c.name) << "code '" << c.code << "'";
        EXPECT_EQ(lookup.xvidPicture, c.picture) << "code '" << c.code << "'";
    }
}

TEST(AudioCodecName, TagsAndDecimalFallback) {
    const std::vector<std::pair<std::int16_t, std::string>> cases = {
        {0, "PCM"},
        {1, "PCM"},
        {85, "MPEG-1 Layer 3"},
        {353, "DivX;-) Audio"},
        {8192, "AC3-Digital"},
        {80, "80"},
        {2, "2"},
        {-2, "-2"},  // 0xFFFE read signed
        {32767, "32767"},
        {-32768, "-32768"},
    };
    for (const auto& [tag, name] : cases) EXPECT_EQ(AudioCodecName(tag), name) << tag;
}

struct BitrateCase {
    std::int32_t bytesPerSec;
    std::string withSteps;
    std::string withoutSteps;
};

TEST(AudioBitrateText, StepsAndRoundedRates) {
    const std::vector<BitrateCase> cases = {
        {16000, "128 Kbit/s", "125 Kbit/s"},  // 125.0
        {24000, "192 KBit/s", "188 Kbit/s"},  // 187.5, the odd spelling is kept
        {8000, "64 Kbit/s", "62 Kbit/s"},     // 62.5, half to even
        {8064, "64 Kbit/s", "63 Kbit/s"},     // 63.0
        {14000, "112 Kbit/s", "109 Kbit/s"},  // 109.375
        {14592, "112 Kbit/s", "114 Kbit/s"},  // exactly 114.0, the wide step's top
        {14720, "115 Kbit/s", "115 Kbit/s"},  // 115.0, between steps
        {13568, "112 Kbit/s", "106 Kbit/s"},  // exactly 106.0, bottom of the step
        {13440, "105 Kbit/s", "105 Kbit/s"},  // 105.0
        {31744, "256 Kbit/s", "248 Kbit/s"},  // exactly 248.0
        {31616, "247 Kbit/s", "247 Kbit/s"},  // 247.0
        {32768, "256 Kbit/s", "256 Kbit/s"},  // exactly 256.0, top of the top step
        {32896, "257 Kbit/s", "257 Kbit/s"},  // 257.0
        {27648, "224 Kbit/s", "216 Kbit/s"},  // exactly 216.0
        {20480, "160 Kbit/s", "160 Kbit/s"},  // exactly 160.0
        {15616, "128 Kbit/s", "122 Kbit/s"},  // exactly 122.0
        {15552, "122 Kbit/s", "122 Kbit/s"},  // 121.5, half to even 122, but no step
        {11520, "96 Kbit/s", "90 Kbit/s"},    // exactly 90.0
        {7680, "64 Kbit/s", "60 Kbit/s"},     // exactly 60.0
        {7616, "60 Kbit/s", "60 Kbit/s"},     // 59.5, half to even
        {7552, "59 Kbit/s", "59 Kbit/s"},     // 59.0
        {6000, "47 Kbit/s", "47 Kbit/s"},     // 46.875
        {176400, "1378 Kbit/s", "1378 Kbit/s"},
        {0, " Kbit/s", " Kbit/s"},
        {64, " Kbit/s", " Kbit/s"},     // 0.5 goes to the even 0
        {192, "2 Kbit/s", "2 Kbit/s"},  // 1.5 goes to 2
        {-8000, "-62 Kbit/s", "-62 Kbit/s"},
        {2147483647, "16777216 Kbit/s", "16777216 Kbit/s"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AudioBitrateText(c.bytesPerSec, true), c.withSteps) << c.bytesPerSec;
        EXPECT_EQ(AudioBitrateText(c.bytesPerSec, false), c.withoutSteps) << c.bytesPerSec;
    }
}

TEST(ChannelCountText, NamedCountsAndDecimalFallback) {
    const std::vector<std::pair<std::int16_t, std::string>> cases = {
        {1, "1 (mono)"}, {2, "2 (stereo)"}, {5, "5 (surround)"}, {6, "6"},
        {0, "0"},        {4, "4"},          {-1, "-1"},          {-32768, "-32768"},
    };
    for (const auto& [channels, text] : cases) EXPECT_EQ(ChannelCountText(channels), text) << channels;
}

}  // namespace

}  // namespace discstart
