#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "matroska_reading.h"
#include "media/matroska/block_times.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace discstart {

namespace {

using namespace ebml;

// The times of `frames` frames at `fps`, rounded to ticks of `tickNs`, as a muxer stores them.
std::vector<std::int64_t> Times(double fps, int frames, double tickNs = 1e6) {
    std::vector<std::int64_t> times;
    for (int i = 0; i < frames; ++i) times.push_back(std::llround(i * 1e9 / fps / tickNs));
    return times;
}

struct RateCase {
    const char* name;
    std::vector<std::int64_t> ticks;
    double fps;
    std::uint64_t tickNs = 1'000'000;
};

TEST(FramesPerSecondFromTimes, AsAPlayerSeesThem) {
    std::vector<std::int64_t> reordered = Times(25, 12);
    std::swap(reordered[1], reordered[3]);  // B-frames: stored before the frames they follow
    std::vector<std::int64_t> dropped = Times(30000.0 / 1001, 20);
    dropped.erase(dropped.begin() + 9);
    std::vector<std::int64_t> repeated = Times(50, 8);
    repeated.insert(repeated.begin() + 4, repeated[4]);
    const std::vector<RateCase> cases = {
        {"30000/1001 in milliseconds", Times(30000.0 / 1001, 30), 30000.0 / 1001},
        {"24000/1001", Times(24000.0 / 1001, 24), 24000.0 / 1001},
        {"24: 41 and 42 ms", Times(24, 24), 24},
        {"30", Times(30, 10), 30},
        {"60", Times(60, 10), 60},
        {"25 out of order", reordered, 25},
        {"a dropped frame", dropped, 30000.0 / 1001},
        {"two blocks at one time", repeated, 50},
        {"no common rate", {0, 37, 74, 111, 148}, 1000.0 / 37},
        {"three frames: the fewest", {0, 40, 80}, 25},
        {"two frames are too few", {0, 40}, 0},
        {"one time only", {7, 7, 7}, 0},
        {"ticks of 100 us", Times(60000.0 / 1001, 10, 1e5), 60000.0 / 1001, 100'000},
        {"no ticks", Times(25, 10), 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(FramesPerSecondFromTimes(c.ticks, c.tickNs), c.fps, 1e-9) << c.name;
    }
}

TEST(FramesPerSecondFromTimes, ACommonRateOnlyWithinTheRounding) {
    // 29.9 fps is no 30000/1001: over enough frames the ticks tell them apart.
    const double fps = FramesPerSecondFromTimes(Times(29.9, 120), 1'000'000);
    EXPECT_NEAR(fps, 29.9, 0.01);
    EXPECT_GT(std::abs(fps - 30000.0 / 1001), 0.05);
}

ByteWindow WindowOf(const Bytes& bytes, std::uint64_t base = 0) {
    return ByteWindow(base, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), false);
}

TEST(BlockTimes, OfOneTrackAcrossClusters) {
    const Bytes blockGroup = Master(0xA0, {Element(0xA1, SimpleBlock(1, 5).substr(2)), Uint(0x9B, 40)});
    const Bytes first = Id(0x1F43B675) + UnknownSize() + Uint(0xE7, 1000) + SimpleBlock(1, 0) +
                        SimpleBlock(2, 3) + blockGroup + Void(10) + SimpleBlock(1, -2);
    const Bytes junk("\x42\x13\x99\x07\x55\xAA", 6);
    const Bytes cues = Master(0x1C53BB6B, {Void(4)});
    const Bytes second = Master(0x1F43B675, {Uint(0xE7, 2000), SimpleBlock(1, 1), SimpleBlock(2, 9)});
    const Bytes third = Master(0x1F43B675, {Uint(0xE7, 3000), SimpleBlock(1, 4)});
    const Bytes film = Bytes(100, 'x') + first + cues + junk + second + third;
    const std::vector<std::int64_t> all = {1000, 1005, 998, 2001, 3004};
    EXPECT_EQ(BlockTimes(WindowOf(film), 100, 1), all);
    EXPECT_EQ(BlockTimes(WindowOf(film), 100, 2), (std::vector<std::int64_t>{1003, 2009}));
    // Cut in the last block's time: that block is not counted.
    EXPECT_EQ(BlockTimes(WindowOf(film.substr(0, film.size() - 8)), 100, 1),
              std::vector<std::int64_t>(all.begin(), all.end() - 1));
    // Cut after the last block's time: that block counts.
    EXPECT_EQ(BlockTimes(WindowOf(film.substr(0, film.size() - 5)), 100, 1), all);
    // A window that starts at its file offset.
    EXPECT_EQ(BlockTimes(WindowOf(film.substr(100), 100), 100, 1), all);
}

TEST(BlockTimes, ABlockGroupsBlockAmongItsFirstEightChildren) {
    for (const int voids : {7, 8}) {
        std::vector<Bytes> children(static_cast<std::size_t>(voids), Void(2));
        children.push_back(Element(0xA1, SimpleBlock(1, 5).substr(2)));
        const Bytes film = Master(0x1F43B675, {Uint(0xE7, 10), Master(0xA0, children)});
        EXPECT_EQ(BlockTimes(WindowOf(film), 0, 1).size(), voids == 7 ? 1u : 0u) << voids;
    }
}

TEST(BlockTimes, ClusterTimesUpToHalfTheRange) {
    constexpr std::uint64_t Half = std::numeric_limits<std::int64_t>::max() / 2;
    for (const std::uint64_t time : {Half, Half + 1}) {
        const Bytes film = Master(0x1F43B675, {Uint(0xE7, time), SimpleBlock(1, 0)});
        EXPECT_EQ(BlockTimes(WindowOf(film), 0, 1).size(), time == Half ? 1u : 0u) << time;
    }
}

TEST(BlockTimes, TheFirst1024Blocks) {
    for (const int blocks : {1024, 1025}) {
        std::vector<Bytes> children = {Uint(0xE7, 0)};
        for (int i = 0; i < blocks; ++i) children.push_back(SimpleBlock(1, static_cast<std::int16_t>(i)));
        const std::vector<std::int64_t> times = BlockTimes(WindowOf(Master(0x1F43B675, children)), 0, 1);
        ASSERT_EQ(times.size(), 1024u) << blocks;
        EXPECT_EQ(times.back(), 1023);
    }
}

TEST(NextMatroskaTopLevel, SkipsJunkToAWholeHeader) {
    const Bytes tracks = Master(0x1654AE6B, {Void(3)});
    // A Cluster ID whose size reaches past the limit is no place to go on from.
    const Bytes bytes = Bytes("\x01\x1F\x43\xB6\x75\x10", 6) + tracks;
    EXPECT_EQ(NextMatroskaTopLevel(WindowOf(bytes), 0, bytes.size()), 6u);
    EXPECT_EQ(NextMatroskaTopLevel(WindowOf(bytes), 7, bytes.size()), std::nullopt);
    EXPECT_EQ(NextMatroskaTopLevel(WindowOf(bytes), 0, bytes.size() - 1), std::nullopt);
}

Bytes Blocks(double fps, int frames) {
    Bytes blocks = Uint(0xE7, 0);
    for (const std::int64_t time : Times(fps, frames)) {
        blocks += SimpleBlock(1, static_cast<std::int16_t>(time), 3000) +
                  SimpleBlock(2, static_cast<std::int16_t>(time));
    }
    return blocks;
}

Bytes TracksWithoutDefaultDuration() {
    return Master(0x1654AE6B, {VideoTrack("V_MPEG4/ISO/AVC", 640, 272, 0), AudioTrack()});
}

TEST(ReadMatroska, WithoutDefaultDurationTheFirstClusterTellsTheRate) {
    struct Case {
        const char* name;
        MatroskaRecipe recipe;
        double fps;
        int reads;
    };
    const std::vector<Case> cases = {
        {"blocks in the first 256 KiB",
         {.tracks = TracksWithoutDefaultDuration(),
          .mediaBytes = MiB,
          .clusterStart = Blocks(30000.0 / 1001, 60)},
         30000.0 / 1001,
         2},
        {"a live film: unknown sizes, junk before the Tracks",
         {.unknownSegmentSize = true,
          .seekHead = false,
          .tracks = TracksWithoutDefaultDuration(),
          .unknownClusterSize = true,
          .mediaBytes = MiB,
          .clusterStart = Blocks(25, 30),
          .junkBeforeTracks = Bytes("\x42\x13\x99\x07\x55\xAA\x01\x02\x03", 9)},
         25,
         2},
        // Frames of 3 KiB: 256 KiB hold 86 of them, and the blocks past them are not read.
        {"no block times in the read",
         {.tracks = TracksWithoutDefaultDuration(),
          .mediaBytes = MiB,
          .clusterStart = Bytes(std::size_t{256} << 10, '\0') + Blocks(25, 30)},
         0,
         2},
        // A TrackNumber of nine bytes names no track.
        {"an unreadable track number",
         {.tracks =
              Master(0x1654AE6B, {TrackEntry(1, {Element(0xD7, Bytes(9, '\1')), Text(0x86, "V_MPEG4/ISO/AVC"),
                                                 Master(0xE0, {Uint(0xB0, 640), Uint(0xBA, 272)})}),
                                  AudioTrack()}),
          .mediaBytes = MiB,
          .clusterStart = Blocks(25, 30)},
         0,
         1},
        {"DefaultDuration: no Cluster read", {.mediaBytes = MiB, .clusterStart = Blocks(50, 30)}, 25, 1},
    };
    for (const auto& c : cases) {
        const Reading reading = ReadFilm(BuildMatroska(c.recipe));
        ASSERT_TRUE(reading.info.video) << c.name;
        EXPECT_NEAR(reading.info.video->framesPerSecond, c.fps, 1e-9) << c.name;
        EXPECT_EQ(reading.info.video->width, 640u) << c.name;
        ASSERT_TRUE(reading.info.audio) << c.name;
        EXPECT_EQ(reading.info.audio->channels, 2u) << c.name;
        EXPECT_EQ(reading.counts.reads, c.reads) << c.name;
        EXPECT_LE(reading.counts.bytes, ContainerHeadBlock + (c.reads - 1) * (std::uint64_t{256} << 10))
            << c.name;
    }
}

}  // namespace

}  // namespace discstart
