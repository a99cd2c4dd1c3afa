#include <gtest/gtest.h>

#include "info/ogg_panel.h"
#include "support/header_bytes.h"
#include "support/number_formats.h"

namespace discstart {

namespace {

const OggStreamInfo Earlier{"old", "old fps", "old w", "old h", "old ch", "old rate", "old bitrate"};

OggStreamInfo Read(const Bytes& bytes, const NumberFormat& format = NumberFormat::English(),
                   const OggStreamInfo& before = Earlier, CountingFiles::Counts* counts = nullptr) {
    MemoryFiles memory;
    memory.add("film.avi", bytes);
    CountingFiles files(memory);
    OggStreamInfo info = before;
    Ogg::ReadOggInfo("film.avi", format, info, files);
    if (counts) *counts = files.counts();
    return info;
}

TEST(ReadOggInfo, ReadsBothPages) {
    CountingFiles::Counts counts;
    const OggStreamInfo expected{"XVID", "25.000", "640", "352", "2 (stereo)", "48000 Hz", "128.00"};
    EXPECT_EQ(Read(BuildOgm({}), NumberFormat::English(), Earlier, &counts), expected);
    // Every field in one read of one open.
    EXPECT_EQ(counts.opens, 1);
    EXPECT_EQ(counts.reads, 1);
    EXPECT_EQ(Read({}, NumberFormat::English(), Earlier).videoCodec, std::string(4, '\0'));
}

TEST(ReadOggInfo, AFileThatCannotBeOpenedSetsNothing) {
    OggStreamInfo info = Earlier;
    EXPECT_EQ(Ogg::ReadOggInfo("missing.avi", NumberFormat::English(), info, MemoryFiles()), std::nullopt);
    EXPECT_EQ(info, Earlier);
}

// The same reads give the numbers behind the texts, also where the texts stop at a zero time unit.
TEST(ReadOggInfo, ReturnsTheNumbersItRead) {
    OgmLayout stopped;
    stopped.timeUnit = 0;
    stopped.channels = 6;
    const std::pair<OgmLayout, Ogg::OggStreamNumbers> cases[] = {
        {OgmLayout{}, {"XVID", 400'000, 640, 352, 2, 48'000, 128'000}},
        {stopped, {"XVID", 0, 640, 352, 6, 48'000, 128'000}},
    };
    for (const auto& [layout, numbers] : cases) {
        MemoryFiles files;
        files.add("film.avi", BuildOgm(layout));
        OggStreamInfo info;
        EXPECT_EQ(Ogg::ReadOggInfo("film.avi", NumberFormat::English(), info, files), numbers);
    }
}

struct FrameRateCase {
    std::int64_t timeUnit;
    NumberFormat format;
    std::string expected;
};

TEST(ReadOggInfo, FrameRateFromTheTimeUnit) {
    const std::vector<FrameRateCase> cases = {
        {400'000, NumberFormat::English(), "25.000"},
        {417'083, NumberFormat::English(), "23.976"},
        {417'083, GermanNumbers(), "23,976"},
        {333'667, NumberFormat::English(), "29.970"},
        {-400'000, NumberFormat::English(), "-25.000"},
        {1, GermanNumbers(), "10.000.000,000"},
        {(std::int64_t{1} << 32) + 400'000, NumberFormat::English(), "25.000"},  // high half ignored
    };
    for (const auto& c : cases) {
        OgmLayout layout;
        layout.timeUnit = c.timeUnit;
        EXPECT_EQ(Read(BuildOgm(layout), c.format).frameRateText, c.expected) << c.timeUnit;
    }
}

TEST(ReadOggInfo, AZeroTimeUnitStopsAfterTheCodec) {
    OgmLayout layout;
    layout.timeUnit = std::int64_t{1} << 32;  // low 32 bits zero
    layout.videoCodec = "DIVX";
    OggStreamInfo expected = Earlier;
    expected.videoCodec = "DIVX";
    EXPECT_EQ(Read(BuildOgm(layout)), expected);
}

TEST(ReadOggInfo, ChannelWords) {
    const std::vector<std::pair<std::uint8_t, std::string>> cases = {
        {0, ""}, {1, "Mono"}, {2, "2 (stereo)"}, {3, ""}, {4, "Surround 4ch"}, {5, "Surround 5ch"},
        {6, ""}, {255, ""},
    };
    for (const auto& [channels, words] : cases) {
        OgmLayout layout;
        layout.channels = channels;
        // Counts without words keep the earlier text: empty on a first reading.
        EXPECT_EQ(Read(BuildOgm(layout), NumberFormat::English(), OggStreamInfo{}).channelsText, words)
            << +channels;
        EXPECT_EQ(Read(BuildOgm(layout)).channelsText, words.empty() ? Earlier.channelsText : words)
            << +channels;
    }
}

struct NumbersCase {
    std::int32_t width, height, sampleRate, bitrate;
    NumberFormat format;
    std::string widthText, heightText, sampleRateText, bitrateText;
};

TEST(ReadOggInfo, PlainAndRegionalNumbers) {
    const std::vector<NumbersCase> cases = {
        {640, 352, 48'000, 128'000, NumberFormat::English(), "640", "352", "48000 Hz", "128.00"},
        {1920, 1080, 44'100, 0, NumberFormat::English(), "1920", "1080", "44100 Hz", "0.00"},
        {-5, 0, 0, 1'234'567, NumberFormat::English(), "-5", "0", "0 Hz", "1,234.57"},
        {1, 2, 96'000, 1'234'567, GermanNumbers(), "1", "2", "96000 Hz", "1.234,57"},
        {1, 2, -1, -1'000, NumberFormat::English(), "1", "2", "-1 Hz", "-1.00"},
        {1, 2, 3, 5, NumberFormat::English(), "1", "2", "3 Hz", "0.01"},
        {1, 2, 3, -4, NumberFormat::English(), "1", "2", "3 Hz", "0.00"},
    };
    for (const auto& c : cases) {
        OgmLayout layout;
        layout.width = c.width;
        layout.height = c.height;
        layout.sampleRate = c.sampleRate;
        layout.nominalBitrate = c.bitrate;
        const auto info = Read(BuildOgm(layout), c.format);
        EXPECT_EQ(info.widthText, c.widthText);
        EXPECT_EQ(info.heightText, c.heightText);
        EXPECT_EQ(info.sampleRateText, c.sampleRateText);
        EXPECT_EQ(info.bitrateText, c.bitrateText) << c.bitrate;
    }
}

}  // namespace

}  // namespace discstart
