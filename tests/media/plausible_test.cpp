#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "media/container.h"

namespace discstart {

namespace {

struct BoundCase {
    const char* name;
    TrackFacts video;
    TrackFacts audio;
    double seconds;
    std::vector<std::string> refused;  // fact names, in the order they are listed
};

TrackFacts Picture(std::uint32_t width, std::uint32_t height, double fps) {
    TrackFacts facts;
    facts.width = width;
    facts.height = height;
    facts.framesPerSecond = fps;
    return facts;
}

TrackFacts Sound(std::uint32_t channels, std::uint32_t rate, std::uint64_t bitrate = 0) {
    TrackFacts facts;
    facts.channels = channels;
    facts.sampleRate = rate;
    facts.bitrate = bitrate;
    return facts;
}

// Each bound at exactly its value is kept; one step past it is left out, and named.
TEST(KeepPlausible, KeepsEveryBoundAtItsValueAndRefusesPastIt) {
    const double week = 7.0 * 24 * 3600;
    const std::vector<BoundCase> cases = {
        {"at the bounds", Picture(65535, 1, 1000), Sound(255, 1000000, 1000000000), week, {}},
        {"lowest", Picture(1, 65535, 0.001), Sound(1, 1, 1), 0.001, {}},
        {"nothing stored stays", Picture(0, 0, 0), Sound(0, 0, 0), 0, {}},
        {"a side too wide takes its pair",
         Picture(65536, 480, 25),
         Sound(2, 48000),
         10,
         {"video.width", "video.height"}},
        {"half a size is no size", Picture(640, 0, 25), Sound(2, 48000), 10, {"video.width"}},
        {"fps", Picture(640, 480, 1000.01), Sound(2, 48000), 10, {"video.fps"}},
        {"fps not finite",
         Picture(640, 480, std::numeric_limits<double>::infinity()),
         Sound(2, 48000),
         10,
         {"video.fps"}},
        {"negative fps", Picture(640, 480, -25), Sound(2, 48000), 10, {"video.fps"}},
        {"channels", Picture(640, 480, 25), Sound(256, 48000), 10, {"audio.channels"}},
        {"rate", Picture(640, 480, 25), Sound(2, 1000001), 10, {"audio.sampleRate"}},
        {"bitrate", Picture(640, 480, 25), Sound(2, 48000, 1000000001), 10, {"audio.bitrate"}},
        {"length past a week", Picture(640, 480, 25), Sound(2, 48000), week + 1, {"duration"}},
        {"length not a number", Picture(640, 480, 25), Sound(2, 48000), std::nan(""), {"duration"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ContainerInfo info;
        info.video = c.video;
        info.audio = c.audio;
        info.durationSeconds = c.seconds;
        const ContainerInfo before = info;
        const auto refused = KeepPlausible(info, MovieFileKind::Mp4);
        std::vector<std::string> names;
        for (const auto& one : refused) names.push_back(one.fact);
        EXPECT_EQ(names, c.refused);
        if (c.refused.empty()) {
            EXPECT_EQ(info, before);
        }
        for (const auto& name : c.refused) {
            if (name == "video.width") {
                EXPECT_EQ(info.video->width, 0u);
            }
            if (name == "video.fps") {
                EXPECT_EQ(info.video->framesPerSecond, 0.0);
            }
            if (name == "audio.channels") {
                EXPECT_EQ(info.audio->channels, 0u);
            }
            if (name == "audio.sampleRate") {
                EXPECT_EQ(info.audio->sampleRate, 0u);
            }
            if (name == "audio.bitrate") {
                EXPECT_EQ(info.audio->bitrate, 0u);
            }
            if (name == "duration") {
                EXPECT_EQ(info.durationSeconds, 0.0);
            }
        }
        // What is not refused is kept as stored.
        if (names.empty() || names[0] != "video.width") {
            EXPECT_EQ(info.video->height, c.video.height);
        }
    }
}

TEST(KeepPlausible, NamesTheHeaderThatHoldsTheFact) {
    const struct {
        MovieFileKind kind;
        const char* header;
    } cases[] = {{MovieFileKind::Mp4, "stsd"}, {MovieFileKind::Matroska, "Audio"}};
    for (const auto& c : cases) {
        ContainerInfo info;
        info.audio = Sound(2, 4294967294u);
        const auto refused = KeepPlausible(info, c.kind);
        ASSERT_EQ(refused.size(), 1u);
        EXPECT_EQ(refused[0].header, c.header);
        EXPECT_EQ(refused[0].value, "4294967294");
    }
}

}  // namespace

}  // namespace discstart
