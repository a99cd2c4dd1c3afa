#include <gtest/gtest.h>

#include "media/iso_reading.h"

namespace discstart {

namespace {

using namespace isobmff;

constexpr std::size_t KiB = 1024;

// A fragmented film as ffmpeg writes it: empty sample tables, a moov that counts one second.
MovieRecipe Fragmented(const Bytes& mvex = Trex(1) + Trex(2)) {
    MovieRecipe movie;
    movie.duration = 1000;
    movie.tracks[0].times = {};
    movie.tracks[1].times = {};
    movie.mvex = mvex;
    return movie;
}

Bytes Mdat(std::size_t bytes) {
    return Box("mdat", Bytes(bytes, '\0'));
}

// Two seconds of video at 25 frames a second from `start` seconds on, in its own durations.
TrafRecipe Video(std::uint64_t start) {
    return {.track = 1, .start = start * 12800, .durations = std::vector<std::uint32_t>(50, 512)};
}

struct LengthCase {
    const char* name;
    Bytes file;
    double seconds;
    int reads;
};

TEST(ReadIsoMedia, FragmentedLength) {
    const Bytes head = Ftyp() + Moov(Fragmented());
    const double end = 4 + 96 * 1024 / 48000.0;  // of the last fragment's sound
    const Bytes first = Moof({Video(0)}) + Mdat(100);
    const Bytes last =
        Moof({Video(4), {.track = 2, .start = 4 * 48000, .samples = 96, .defaultDuration = 1024}});
    const Bytes tail = last + Mdat(100);
    // ffmpeg's dash mode: a sidx before each fragment, covering it alone
    const auto indexed = [&](std::uint32_t duration, std::uint32_t size) {
        return head + Sidx(12800, 0, {{size, duration}}) + first + tail;
    };
    const std::uint32_t media = std::uint32_t(first.size() + tail.size());
    // every fragment's reference: 1366 of them fill more than a window
    std::vector<std::pair<std::uint32_t, std::uint32_t>> references(1366, {0, 0});
    references[0] = {media, 9 * 12800};
    const Bytes longIndex = head + Sidx(12800, 0, references) + first + tail;
    // 1363 references and 4 bytes after them: a payload of exactly a window, past the first block
    Bytes windowSidx = Sidx(12800, 0, {references.begin(), references.begin() + 1363}) + Bytes(4, '\0');
    windowSidx.replace(0, 4, Be32(std::uint32_t(windowSidx.size())));
    const Bytes windowIndex = head + windowSidx + first + tail;
    const Bytes big = Mdat(100 * KiB);
    const std::uint64_t lastAt = head.size() + first.size() + big.size();
    const std::vector<LengthCase> cases = {
        {"mehd", Ftyp() + Moov(Fragmented(FullBox("mehd", 0, Be32(6000)) + Trex(1))) + tail, 6, 1},
        {"mehd against no time scale: the last fragment",
         [&] {
             MovieRecipe movie = Fragmented(FullBox("mehd", 0, Be32(6000)) + Trex(1) + Trex(2));
             movie.timescale = 0;
             return Ftyp() + Moov(movie) + first + tail;
         }(),
         end, 1},
        {"the last fragment: video, and sound by its tfhd's default", head + first + tail, end, 1},
        {"by trex's default duration",
         Ftyp() + Moov(Fragmented(Trex(1, 256))) + Moof({{.track = 1, .start = 12800, .samples = 100}}) +
             Mdat(8),
         3, 1},
        {"no duration anywhere", head + Moof({{.track = 1, .start = 12800, .samples = 100}}) + Mdat(8), 0, 1},
        {"no time scale",
         [&] {
             MovieRecipe movie = Fragmented();
             movie.tracks[0].timescale = 0;
             return Ftyp() + Moov(movie) + first + Moof({Video(4)}) + Mdat(8);
         }(),
         0, 1},
        {"a sidx that covers all", indexed(9 * 12800, media), 9, 1},
        {"a sidx larger than a window: the last fragment", longIndex, end, 2},
        {"a sidx of exactly a window: read, then the first fragment for the rate", windowIndex, 9, 3},
        {"a sidx that covers all up to mfra", indexed(9 * 12800, media) + Mfra({{}}), 9, 1},
        {"a sidx of two references one byte short of all",
         head +
             Sidx(12800, 0,
                  {{std::uint32_t(first.size()), 12800}, {std::uint32_t(tail.size() - 1), 8 * 12800}}) +
             first + tail,
         end, 1},
        {"a sidx one byte short of all", indexed(9 * 12800, media - 1), end, 1},
        {"a sidx of the first fragment", indexed(2 * 12800, std::uint32_t(first.size())), end, 1},
        {"the last fragment through mfra", head + first + big + tail + big + Mfra({{head.size(), lastAt}}),
         end, 3},
        {"the last fragment before a long mfra",
         head + first + big + tail + Mfra({std::vector<std::uint64_t>(4000, head.size()), {lastAt}}), end, 3},
        {"mfra's last entry not the last fragment", head + first + big + tail + big + Mfra({{head.size()}}),
         0, 3},
        {"mfra lists no fragment: the moov's", head + Mdat(100) + Mfra({{}, {}}), 1, 1},
        {"no mfra, the last mdat too long for the end read", head + first + tail + big, 0, 2},
        {"the last mdat past the end of the file", head + first + last + Be32(200) + "mdat", 0, 1},
        {"a box no fragmented film ends in, after the last fragment",
         head + first + tail + Box("junk", "1234"), 0, 1},
    };
    for (const auto& c : cases) {
        const IsoReading reading = ReadIso(c.file);
        EXPECT_NEAR(reading.info.durationSeconds, c.seconds, 1e-9) << c.name;
        EXPECT_TRUE(reading.info.fragmented) << c.name;
        EXPECT_EQ(reading.counts.reads, c.reads) << c.name;
    }
    // the first fragment lies past the first block: the rate of the last, read for the length
    EXPECT_EQ(ReadIso(longIndex).info.video->framesPerSecond, 25);
}

TEST(ReadIsoMedia, FragmentedFrameRate) {
    const auto rate = [](const MovieRecipe& movie, const Bytes& fragments) {
        return ReadIso(Ftyp() + Moov(movie) + fragments + Mdat(8)).info.video->framesPerSecond;
    };
    MovieRecipe movie = Fragmented(Trex(1, 427) + Trex(2));
    movie.tracks[0].timescale = 12800;
    EXPECT_DOUBLE_EQ(rate(movie, ""), 12800.0 / 427);
    // The first fragment's own durations where it is read already, the one covering most time.
    const std::vector<std::uint32_t> durations = {256, 256, 256, 1024, 1024};
    EXPECT_DOUBLE_EQ(rate(movie, Moof({{.track = 1, .durations = durations}})), 12.5);
    EXPECT_DOUBLE_EQ(rate(Fragmented(), Moof({{.track = 1, .samples = 4, .defaultDuration = 512}})), 25);
    EXPECT_EQ(rate(Fragmented(), Mdat(8)), 0);
    // Each track in fragments of its own, as GStreamer writes them: the first four are looked at.
    const Bytes sound = Moof({{.track = 2, .samples = 4, .defaultDuration = 1024}}) + Mdat(8);
    const Bytes video = Moof({{.track = 1, .samples = 4, .defaultDuration = 512}}) + Mdat(8);
    EXPECT_DOUBLE_EQ(rate(Fragmented(), sound + sound + sound + video + sound), 25);
    EXPECT_EQ(rate(Fragmented(), sound + sound + sound + sound + video + sound), 0);
    // the sound's fragments filling the first block and more: one read for each after it (the
    // length in mehd, so that no read at the end holds them)
    const MovieRecipe measured = Fragmented(FullBox("mehd", 0, Be32(4000)) + Trex(1) + Trex(2));
    const Bytes longSound = Moof({{.track = 2, .samples = 4, .defaultDuration = 1024}}) + Mdat(20 * KiB);
    for (const int sounds : {1, 3, 4}) {
        Bytes fragments;
        for (int i = 0; i < sounds; ++i) fragments += longSound;
        const auto reading = ReadIso(Ftyp() + Moov(measured) + fragments + video + longSound);
        EXPECT_EQ(reading.info.video->framesPerSecond, sounds < 4 ? 25 : 0) << sounds;
        EXPECT_EQ(reading.counts.reads, 1 + std::min(sounds, 3)) << sounds;
    }
    // the track named by a tkhd of 64-bit times
    movie.tracks[0].headerVersion = 1;
    EXPECT_DOUBLE_EQ(rate(movie, ""), 12800.0 / 427);
    // stts wins where it is not empty
    movie.tracks[0].times = {{10, 1024}};
    EXPECT_DOUBLE_EQ(rate(movie, ""), 12.5);
}

}  // namespace

}  // namespace discstart
