#include <gtest/gtest.h>

#include <limits>

#include "media/riff/avi_header.h"
#include "support/header_bytes.h"

namespace discstart {

namespace {

constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();

MovieFileKind Read(const Bytes& bytes, AviHeaderInfo& info, CountingFiles::Counts* counts = nullptr) {
    MemoryFiles memory;
    memory.add("film.avi", bytes);
    CountingFiles files(memory);
    const auto kind = ReadAviHeader("film.avi", info, files);
    if (counts) *counts = files.counts();
    return kind;
}

// A record every field of which differs from what any test file holds.
AviHeaderInfo Sentinel() {
    AviHeaderInfo info;
    info.signature = "sent";
    info.riffSize = info.avihSize = info.microSecPerFrame = info.totalFrames = -7;
    info.width = info.height = info.videoListSize = info.audioHeaderSize = -7;
    info.audioSampleRate = info.audioBytesPerSec = info.videoStreamDataPos = info.audioStreamDataPos = -7;
    info.audioFormatTag = info.audioChannels = -7;
    info.videoCodec = "sent";
    return info;
}

struct KindCase {
    std::string bytes;
    MovieFileKind kind;
    std::string signature;
};

const std::vector<KindCase> KindCases = {
    {"OggS....AVI ", MovieFileKind::OggMedia, "OggS"},
    {"OGGS....AVI ", MovieFileKind::OggMedia, "OGGS"},
    {"oggs....AVI ", MovieFileKind::Avi, "AVI "},
    {"oggs....abcd", MovieFileKind::Other, "abcd"},
    {"OgGS", MovieFileKind::Other, std::string(4, '\0')},
    {"XXXX....AVI ", MovieFileKind::Avi, "AVI "},
    {"RIFF....AVIX", MovieFileKind::Other, "AVIX"},
    {"RIFF....avi ", MovieFileKind::Other, "avi "},
    {"RIFF....AV", MovieFileKind::Other, std::string("AV\0\0", 4)},
    {"Ogg", MovieFileKind::Other, std::string(4, '\0')},
    {"", MovieFileKind::Other, std::string(4, '\0')},
};

TEST(ReadAviHeader, TellsTheKindFromTheSignatures) {
    for (const auto& c : KindCases) {
        AviHeaderInfo info = Sentinel();
        EXPECT_EQ(Read(Bytes(c.bytes.begin(), c.bytes.end()), info), c.kind) << c.bytes;
        EXPECT_EQ(info.signature, c.signature) << c.bytes;
        if (c.kind != MovieFileKind::Avi) {
            // Nothing but the signature is touched.
            AviHeaderInfo expected = Sentinel();
            expected.signature = c.signature;
            EXPECT_EQ(info, expected) << c.bytes;
        }
    }
}

TEST(ReadAviHeader, AFileThatCannotBeOpenedIsOtherAndTouchesNothing) {
    AviHeaderInfo info = Sentinel();
    EXPECT_EQ(ReadAviHeader("missing.avi", info, MemoryFiles()), MovieFileKind::Other);
    EXPECT_EQ(info, Sentinel());
}

TEST(ReadAviHeader, ReadsEveryFieldOfATypicalFile) {
    AviHeaderRecipe layout;
    layout.first4 = "ABCD";
    layout.audioFormatTag = static_cast<std::int16_t>(0xFFFE);
    AviHeaderInfo info = Sentinel();
    ASSERT_EQ(Read(BuildAvi(layout), info), MovieFileKind::Avi);
    AviHeaderInfo expected;
    expected.signature = "AVI ";
    expected.riffSize = 734'003'192;
    expected.avihSize = 56;
    expected.microSecPerFrame = 40'000;
    expected.totalFrames = 135'000;
    expected.width = 640;
    expected.height = 272;
    expected.videoListSize = 116;
    expected.videoCodec = "XVID";
    expected.audioHeaderSize = 56;
    expected.audioFormatTag = -2;
    expected.audioChannels = 2;
    expected.audioSampleRate = 48'000;
    expected.audioBytesPerSec = 16'000;
    expected.videoStreamDataPos = 108;
    expected.audioStreamDataPos = 232;
    EXPECT_EQ(info, expected);
}

struct OffsetCase {
    std::int32_t a, s, h;
    std::size_t codecAt, audioAt;  // where the handler code and the format tag must come from
};

// Written by hand, not by the layout builder, so the positions are checked independently.
const std::vector<OffsetCase> OffsetCases = {
    {56, 116, 56, 112, 296},      {56, 116 + 4120, 56, 112, 4416},  // an index chunk in the video list
    {56, 116 + 26, 56, 112, 322},                                   // a stream name in the video list
    {64, 116, 56, 120, 304},      {56, 116, 64, 112, 304},
};

TEST(ReadAviHeader, FindsTheStreamFieldsFromTheThreeSizes) {
    for (const auto& c : OffsetCases) {
        SCOPED_TRACE(testing::Message() << "A " << c.a << ", S " << c.s << ", H " << c.h);
        [&] {
            ByteWriter w;
            w.text(0, "RIFF").text(8, "AVI ").int32(28, c.a).int32(36 + c.a, c.s).text(c.codecAt, "DX50");
            w.int32(56 + c.a + c.s, c.h).int16(c.audioAt, 0x2000).int16(c.audioAt + 2, 6);
            w.int32(c.audioAt + 4, 44'100).int32(c.audioAt + 8, 24'000).size(c.audioAt + 100);
            AviHeaderInfo info;
            ASSERT_EQ(Read(w.bytes, info), MovieFileKind::Avi);
            EXPECT_EQ(info.videoCodec, "DX50") << c.s;
            EXPECT_EQ(info.audioFormatTag, 0x2000) << c.s;
            EXPECT_EQ(info.audioChannels, 6) << c.s;
            EXPECT_EQ(info.audioSampleRate, 44'100) << c.s;
            EXPECT_EQ(info.audioBytesPerSec, 24'000) << c.s;
        }();
    }
}

struct StrayCase {
    const char* name;
    std::vector<std::pair<std::size_t, std::int32_t>> writes;
    std::int32_t previousVideoPos = 0;
    std::int32_t previousAudioPos = 0;
    std::int32_t videoListSize = 0;
    std::string videoCodec;  // empty: not compared
    std::int32_t audioHeaderSize = 0;
    std::int16_t audioFormatTag = 0;
    std::int16_t audioChannels = 0;
    std::int32_t audioSampleRate = 0;
    std::int32_t videoPos = 0;
    std::int32_t audioPos = 0;
};

constexpr std::int32_t DIVX = 0x58564944;  // "DIVX" read as a number

// Positions that overflow or fall before the file's start are not sought: that field is
// read where the previous one ended. Derived positions that overflow keep their old value.
const std::vector<StrayCase> StrayCases = {
    {.name = "negative A",
     .writes = {{28, -100}, {72, 0}, {76, DIVX}, {80, 100}, {68, 0x0002FFFE}},
     .videoCodec = "DIVX",
     .audioHeaderSize = 100,
     .audioFormatTag = -2,
     .audioChannels = 2,
     .videoPos = -48,
     .audioPos = -40},
    {.name = "A overflows the derived positions",
     .writes = {{28, Max32 - 40}, {204, DIVX}, {296, 56}, {364, 0x0002'0055}, {368, 48'000}},
     .previousVideoPos = 200,
     .previousAudioPos = 300,
     .videoCodec = "DIVX",
     .audioHeaderSize = 56,
     .audioFormatTag = 85,
     .audioChannels = 2,
     .audioSampleRate = 48'000,
     .videoPos = 200,
     .audioPos = 300},
    {.name = "A overflows every position",
     .writes = {{28, Max32}, {72, 8}, {4, DIVX}},
     .videoListSize = 8,
     .videoCodec = "DIVX",
     .audioHeaderSize = 0x20495641 /* "AVI " */},
    {.name = "A points at the start",
     .writes = {{28, -36}, {20, DIVX}},
     .videoListSize = 0x46464952 /* "RIFF" */,
     .videoCodec = "DIVX",
     .videoPos = 16,
     .audioPos = 0x4646'496A},
    {.name = "S overflows",
     .writes = {{28, 56}, {92, Max32 - 100}, {112, DIVX}, {116, 64}, {72, 0x0001'0001}, {76, 22'050}},
     .videoListSize = Max32 - 100,
     .videoCodec = "DIVX",
     .audioHeaderSize = 64,
     .audioFormatTag = 1,
     .audioChannels = 1,
     .audioSampleRate = 22'050,
     .videoPos = 108},
    {.name = "H overflows",
     .writes = {{28, 56}, {92, 116}, {228, Max32}, {232, 0x0002'0001}, {236, 32'000}},
     .videoListSize = 116,
     .videoCodec = "",
     .audioHeaderSize = Max32,
     .audioFormatTag = 1,
     .audioChannels = 2,
     .audioSampleRate = 32'000,
     .videoPos = 108,
     .audioPos = 232},
    {.name = "H points before the start",
     .writes = {{28, 56}, {92, 116}, {228, -1000}, {232, 0x0002'0001}, {236, 32'000}},
     .videoListSize = 116,
     .videoCodec = "",
     .audioHeaderSize = -1000,
     .audioFormatTag = 1,
     .audioChannels = 2,
     .audioSampleRate = 32'000,
     .videoPos = 108,
     .audioPos = 232},
};

TEST(ReadAviHeader, SkipsPositionsThatOverflowOrPrecedeTheFile) {
    for (const auto& c : StrayCases) {
        SCOPED_TRACE(c.name);
        [&] {
            ByteWriter w;
            w.text(0, "RIFF").text(8, "AVI ").size(600);
            for (const auto& [offset, value] : c.writes) w.int32(offset, value);
            AviHeaderInfo info;
            info.videoStreamDataPos = c.previousVideoPos;
            info.audioStreamDataPos = c.previousAudioPos;
            ASSERT_EQ(Read(w.bytes, info), MovieFileKind::Avi) << c.name;
            EXPECT_EQ(info.videoListSize, c.videoListSize) << c.name;
            if (!c.videoCodec.empty()) {
                EXPECT_EQ(info.videoCodec, c.videoCodec) << c.name;
            }
            EXPECT_EQ(info.audioHeaderSize, c.audioHeaderSize) << c.name;
            EXPECT_EQ(info.audioFormatTag, c.audioFormatTag) << c.name;
            EXPECT_EQ(info.audioChannels, c.audioChannels) << c.name;
            EXPECT_EQ(info.audioSampleRate, c.audioSampleRate) << c.name;
            EXPECT_EQ(info.videoStreamDataPos, c.videoPos) << c.name;
            EXPECT_EQ(info.audioStreamDataPos, c.audioPos) << c.name;
        }();
    }
}

struct ReadCountCase {
    const char* name;
    Bytes bytes;
    int maxReads;
    std::uint64_t maxBytes;
};

Bytes WithVideoIndex() {
    AviHeaderRecipe layout;
    layout.videoListSize = 116 + 4120;
    layout.trailingBytes = 100'000;
    return BuildAvi(layout);
}

Bytes FarApart() {
    // Every size points somewhere new in a large file.
    ByteWriter w;
    w.text(8, "AVI ").int32(28, 1'000'000).int32(1'000'036, 1'000'000).int32(2'000'056, 1'000'000);
    return w.size(3'100'000).bytes;
}

TEST(ReadAviHeader, ReadsInAFewBlocks) {
    const std::vector<ReadCountCase> cases = {
        {"small header", BuildAvi({}), 1, 4096},
        {"index in the video list", WithVideoIndex(), 2, 4096 + 512},
        {"cut before the audio list", ByteWriter{WithVideoIndex()}.size(3000).bytes, 1, 4096},
        {"ogg", ByteWriter{}.text(0, "OggS").size(100'000).bytes, 1, 4096},
        {"other", Bytes(100'000, 'x'), 1, 4096},
        {"sizes far apart", FarApart(), 4, 4096 + 3 * 512},
    };
    for (const auto& c : cases) {
        AviHeaderInfo info;
        CountingFiles::Counts counts;
        Read(c.bytes, info, &counts);
        EXPECT_EQ(counts.opens, 1) << c.name;
        EXPECT_LE(counts.reads, c.maxReads) << c.name;
        EXPECT_LE(counts.bytes, c.maxBytes) << c.name;
    }
}

}  // namespace

}  // namespace discstart
