#include <gtest/gtest.h>

#include "media/ogg/ogg_media.h"
#include "media/ogg/ogg_streams.h"

namespace discstart {

namespace {

std::string Le(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i) & 0xFF);
    return out;
}
std::string Be(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += char(value >> (8 * i) & 0xFF);
    return out;
}

std::string Page(std::uint8_t flags, std::uint32_t serial, const std::string& packet,
                 std::uint64_t granule = 0) {
    std::string lacing;
    std::size_t left = packet.size();
    do {
        lacing += char(std::min<std::size_t>(left, 255));
        left -= std::min<std::size_t>(left, 255);
    } while (lacing.back() == char(255));
    return "OggS" + std::string(1, '\0') + char(flags) + Le(granule, 8) + Le(serial, 4) + Le(0, 4) +
           Le(0, 4) + char(lacing.size()) + lacing + packet;
}

std::string Theora(std::uint32_t mbWide, std::uint32_t mbHigh, std::uint32_t picW, std::uint32_t picH,
                   std::uint32_t frn, std::uint32_t frd, int shift) {
    return "\x80theora" + std::string("\x03\x02\x01", 3) + Be(mbWide, 2) + Be(mbHigh, 2) + Be(picW, 3) +
           Be(picH, 3) + std::string(2, '\0') + Be(frn, 4) + Be(frd, 4) + Be(1, 3) + Be(1, 3) +
           std::string(1, '\0') + Be(0, 3) + char(shift >> 3) + char((shift & 7) << 5);
}
std::string Vorbis(std::uint8_t channels, std::uint32_t rate, std::int32_t nominal) {
    return "\x01vorbis" + Le(0, 4) + char(channels) + Le(rate, 4) + Le(0, 4) + Le(std::uint32_t(nominal), 4) +
           Le(0, 4) + "\xb8\x01";
}
std::string Opus(std::uint8_t channels, std::uint16_t preSkip, std::uint32_t inputRate) {
    return "OpusHead" + std::string(1, '\1') + char(channels) + Le(preSkip, 2) + Le(inputRate, 4) + Le(0, 2) +
           std::string(1, '\0');
}
std::string Flac(std::uint32_t rate, int channels) {
    const std::uint64_t packed = std::uint64_t(rate) << 44 | std::uint64_t(channels - 1) << 41 | 15ull << 36;
    return "\x7f"
           "FLAC" +
           std::string("\x01\x00", 2) + Be(1, 2) + "fLaC" + std::string("\x00\x00\x00\x22", 4) + Be(4096, 2) +
           Be(4096, 2) + Be(0, 3) + Be(0, 3) + Be(packed, 8) + std::string(16, '\0');
}
std::string Speex(std::uint32_t rate, std::uint32_t channels, std::int32_t bitrate) {
    return "Speex   " + std::string(20, '1') + Le(1, 4) + Le(80, 4) + Le(rate, 4) + Le(1, 4) + Le(4, 4) +
           Le(channels, 4) + Le(std::uint32_t(bitrate), 4) + std::string(28, '\0');
}
const std::string Skeleton = std::string("fishead\0", 8) + std::string(56, '\0');

struct StreamsCase {
    std::string name;
    std::string bytes;
    std::string video;  // codecId, empty for none
    std::uint32_t width, height;
    double fps;
    std::string audio;
    std::uint32_t channels, rate;
    std::uint64_t bitrate;
    double seconds;
};

TEST(ReadOggStreams, DescribesEachStreamFromItsOwnHeader) {
    const std::string theora = Page(2, 1, Theora(7, 4, 100, 60, 30000, 1001, 6));
    const std::string vorbis = Page(2, 2, Vorbis(2, 44100, 128000));
    // `count` streams of another codec, then a Vorbis one: the walk gives up after 16 streams
    const auto behind = [](int count) {
        std::string pages;
        for (int i = 0; i < count; ++i) pages += Page(2, 100 + i, "\x80kate\0\0\0" + std::string(24, 'k'));
        return pages + Page(2, 2, Vorbis(1, 8000, 0));
    };
    const std::vector<StreamsCase> cases = {
        {"theora and vorbis", theora + vorbis + Page(0, 1, "x", 29ull << 6 | 1) + Page(4, 2, "y", 88200),
         "theora", 100, 60, 30000.0 / 1001, "vorbis", 2, 44100, 128000, 2.0},
        // A picture region more than a macroblock short of the frame is not what ffprobe reports.
        {"coded size", Page(2, 1, Theora(7, 4, 96, 60, 25, 1, 6)) + Page(4, 1, "x", 24ull << 6 | 1), "theora",
         112, 60 + 4, 25, "", 0, 0, 0, 1.0},
        {"opus at 48 kHz less its pre-skip", Page(2, 3, Opus(6, 312, 44100)) + Page(4, 3, "x", 48312 + 24000),
         "", 0, 0, 0, "OpusHead", 6, 48000, 0, 1.5},
        {"flac", Page(2, 4, Flac(96000, 1)) + Page(4, 4, "x", 48000), "", 0, 0, 0, "FLAC", 1, 96000, 0, 0.5},
        {"flac mapped without its native header",
         [] {
             std::string packet = Flac(96000, 1);
             packet.replace(9, 4, "fLaX");
             return Page(2, 4, packet);
         }(),
         "", 0, 0, 0, "FLAC", 0, 0, 0, 0},
        {"speex", Page(2, 5, Speex(16000, 1, 24000)) + Page(4, 5, "x", 32000), "", 0, 0, 0, "Speex", 1, 16000,
         24000, 2.0},
        {"skeleton first", Page(2, 9, Skeleton) + theora + vorbis + Page(4, 2, "y", 44100), "theora", 100, 60,
         30000.0 / 1001, "vorbis", 2, 44100, 128000, 1.0},
        // Another codec's stream gives nothing; a stream's end page with no granule counts nothing.
        {"unknown audio",
         Page(2, 1, Theora(4, 4, 64, 64, 24, 1, 6)) + Page(2, 7, "\x80kate\0\0\0" + std::string(56, 'k')) +
             Page(4, 1, "x", ~0ull),
         "theora", 64, 64, 24, "", 0, 0, 0, 0},
        {"the 16th stream", behind(15), "", 0, 0, 0, "vorbis", 1, 8000, 0, 0},
        {"the 17th stream", behind(16), "", 0, 0, 0, "", 0, 0, 0, 0},
        {"implausible vorbis", Page(2, 2, Vorbis(0, 4'294'967'294u, -1)), "", 0, 0, 0, "vorbis", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles memory;
        memory.add("f", c.bytes);
        const auto file = memory.open("f");
        const ByteWindow head = ByteWindow::Read(*file, 0, Ogg::HeadBlock);
        ASSERT_TRUE(Ogg::IsStandardOgg(head));
        ContainerInfo film;
        Ogg::ReadOggStreams(*file, head, std::int64_t(c.bytes.size()), film);
        ASSERT_EQ(film.video.has_value(), !c.video.empty());
        if (film.video) {
            EXPECT_EQ(film.video->codecId, c.video);
            EXPECT_EQ(film.video->width, c.width);
            EXPECT_EQ(film.video->height, c.height);
            EXPECT_DOUBLE_EQ(film.video->framesPerSecond, c.fps);
        }
        ASSERT_EQ(film.audio.has_value(), !c.audio.empty());
        if (film.audio) {
            EXPECT_EQ(film.audio->codecId, c.audio);
            EXPECT_EQ(film.audio->channels, c.channels);
            EXPECT_EQ(film.audio->sampleRate, c.rate);
            EXPECT_EQ(film.audio->bitrate, c.bitrate);
        }
        EXPECT_DOUBLE_EQ(film.durationSeconds, c.seconds);
    }
}

// The last page lies past the first block: one read at the end finds it, and nothing else is read.
TEST(ReadOggStreams, TheLengthCostsOneReadAtTheEnd) {
    const std::string bytes =
        Page(2, 2, Vorbis(2, 48000, 0)) + Page(0, 2, std::string(200'000, 'a'), 1) + Page(4, 2, "y", 96000);
    MemoryFiles memory;
    memory.add("f", bytes);
    const CountingFiles counting(memory);
    const auto file = counting.open("f");
    const ByteWindow head = ByteWindow::Read(*file, 0, Ogg::HeadBlock);
    ContainerInfo film;
    Ogg::ReadOggStreams(*file, head, std::int64_t(bytes.size()), film);
    EXPECT_DOUBLE_EQ(film.durationSeconds, 2.0);
    EXPECT_EQ(counting.counts().reads, 2);
    EXPECT_LE(counting.counts().bytes, Ogg::HeadBlock + Ogg::TailBlock);
}

TEST(IsStandardOgg, OnlyAWholeFirstPageWithoutAnOgmHeader) {
    const std::string ogm = std::string("\x01video\0\0\0", 9) + "XVID" + std::string(44, '\0');
    const std::vector<std::pair<std::string, bool>> cases = {
        {Page(2, 1, Vorbis(2, 44100, 0)), true},
        {Page(2, 1, "\x80kate\0\0\0"), true},
        {Page(2, 1, ogm), false},
        {Page(2, 1,
              std::string("\x01"
                          "audio\0\0\0",
                          9)),
         false},
        {Page(0, 1, Vorbis(2, 44100, 0)), false},  // not the first page of a stream
        {"OGGS" + Page(2, 1, Vorbis(2, 44100, 0)).substr(4), false},
        {"OggS\x01" + Page(2, 1, Vorbis(2, 44100, 0)).substr(5), false},  // a version the format lacks
        {Page(2, 1, Vorbis(2, 44100, 0)).substr(0, 28), false},           // the packet cut off
    };
    for (const auto& [bytes, standard] : cases) {
        MemoryFiles memory;
        memory.add("f", bytes);
        const auto file = memory.open("f");
        EXPECT_EQ(Ogg::IsStandardOgg(ByteWindow::Read(*file, 0, Ogg::HeadBlock)), standard)
            << bytes.substr(28, 8);
    }
}

}  // namespace

}  // namespace discstart
