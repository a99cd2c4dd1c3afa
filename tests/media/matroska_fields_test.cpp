#include <gtest/gtest.h>

#include "matroska_reading.h"

// The expected records are written with designated initializers; the fields left out are meant
// to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace discstart {

namespace {

using namespace ebml;

TEST(ReadMatroska, DefaultsStandForAbsentElements) {
    const Bytes info = Master(0x1549A966, {Float(0x4489, 90'000, 4)});  // no TimestampScale
    const Bytes tracks =
        Master(0x1654AE6B, {TrackEntry(1, {Text(0x86, "V_VP9")}), TrackEntry(2, {Text(0x86, "A_OPUS")})});
    const Reading reading = ReadFilm(BuildMatroska({.ebmlHeader = EbmlHeader("webm"),
                                                    .info = info,
                                                    .tracks = tracks,
                                                    .tags = Master(0x1254C367, {})})
                                         .whole());
    EXPECT_EQ(reading.info.brand, "webm");
    EXPECT_EQ(reading.info.durationSeconds, 90);
    EXPECT_EQ(reading.info.video, (TrackFacts{.codecId = "V_VP9"}));
    EXPECT_EQ(reading.info.audio, (TrackFacts{.codecId = "A_OPUS", .channels = 1, .sampleRate = 8000}));
}

struct InfoCase {
    std::vector<Bytes> children;
    double seconds;
};

TEST(ReadMatroska, DurationInTicksOfTheTimestampScale) {
    const std::vector<InfoCase> cases = {
        {{Float(0x4489, 1500.5, 8)}, 1.5005},
        {{Float(0x4489, 1500.5, 4)}, 1.5005},
        {{Uint(0x2AD7B1, 1000), Float(0x4489, 2'000'000)}, 2},
        {{Element(0x4489, Bytes(3, '\x40'))}, 0},       // no float has three bytes
        {{Float(0x4489, -5)}, 0},                       // before the start
        {{Uint(0x2AD7B1, 0), Float(0x4489, 3000)}, 3},  // a zero scale keeps the default
        {{Element(0x4489, Bytes("\x7F\xF0\x00\x00\x00\x00\x00\x00", 8))}, 0},  // infinity
    };
    for (const auto& c : cases) {
        const Reading reading = ReadFilm(BuildMatroska({.info = Master(0x1549A966, c.children)}).whole());
        EXPECT_DOUBLE_EQ(reading.info.durationSeconds, c.seconds) << c.seconds;
    }
}

struct TrackCase {
    const char* name;
    Bytes entry;
    TrackFacts expected;
};

TEST(ReadMatroska, TrackFactsFromTheEntryAndItsCodecPrivate) {
    const Bytes bitmap = Bytes(16, '\x28') + "XVID" + Bytes(20, '\0');  // 40 bytes
    const Bytes wave = Bytes("\x55\x00\x02\x00", 4) + Bytes(12, '\0');  // 16 bytes
    const Bytes vorbisId =
        Bytes("\x01vorbis", 7) + Bytes(13, '\0') + Bytes("\x00\xF4\x01\x00", 4) + Bytes(6, '\0');
    const Bytes laced =
        Bytes("\x02", 1) + Bytes(1, static_cast<char>(vorbisId.size())) + "\x05" + vorbisId + "xxxxx";
    const auto audio = [](const std::string& id, const Bytes& codecPrivate) {
        return TrackEntry(2, {Text(0x86, id), Element(0x63A2, codecPrivate)});
    };
    const auto aac = [](std::uint8_t type) {
        return TrackFacts{.codecId = "A_AAC", .audioObjectType = type, .channels = 1, .sampleRate = 8000};
    };
    const std::vector<TrackCase> cases = {
        {"VFW BITMAPINFOHEADER",
         TrackEntry(1, {Text(0x86, "V_MS/VFW/FOURCC"), Element(0x63A2, bitmap)}),
         {.codecId = "V_MS/VFW/FOURCC", .fourcc = "XVID"}},
        {"VFW header cut short",
         TrackEntry(1, {Text(0x86, "V_MS/VFW/FOURCC"), Element(0x63A2, bitmap.substr(0, 39))}),
         {.codecId = "V_MS/VFW/FOURCC"}},
        {"ACM WAVEFORMATEX",
         audio("A_MS/ACM", wave),
         {.codecId = "A_MS/ACM", .formatTag = 0x55, .channels = 1, .sampleRate = 8000}},
        {"ACM header cut short",
         audio("A_MS/ACM", wave.substr(0, 15)),
         {.codecId = "A_MS/ACM", .channels = 1, .sampleRate = 8000}},
        {"AAC LC", audio("A_AAC", "\x12\x10"), aac(2)},
        {"HE-AAC signalled first", audio("A_AAC", "\x2B\x8A\x08\x00"), aac(5)},
        {"HE-AAC v2 signalled first", audio("A_AAC", "\xEB\x8A\x08\x00"), aac(29)},
        {"HE-AAC after LC, as mkvmerge writes it", audio("A_AAC", "\x13\x10\x56\xE5\x98"), aac(5)},
        {"HE-AAC v2 after LC", audio("A_AAC", "\x13\x10\x56\xE5\x9D\x48\x80"), aac(29)},
        {"an escaped object type", audio("A_AAC", "\xF8\x46\x40"), aac(34)},
        {"an AudioSpecificConfig cut short", audio("A_AAC", "\x12"), aac(0)},
        {"AAC named by its old CodecID",
         TrackEntry(2, {Text(0x86, "A_AAC/MPEG4/LC/SBR")}),
         {.codecId = "A_AAC/MPEG4/LC/SBR", .audioObjectType = 5, .channels = 1, .sampleRate = 8000}},
        {"Vorbis nominal bit rate",
         audio("A_VORBIS", laced),
         {.codecId = "A_VORBIS", .channels = 1, .sampleRate = 8000, .bitrate = 128'000}},
        {"Vorbis lacing past the end",
         audio("A_VORBIS", laced.substr(0, 20)),
         {.codecId = "A_VORBIS", .channels = 1, .sampleRate = 8000}},
        {"HE-AAC output rate",
         TrackEntry(2, {Text(0x86, "A_AAC"),
                        Master(0xE1, {Float(0xB5, 24000), Float(0x78B5, 48000, 4), Uint(0x9F, 6)})}),
         {.codecId = "A_AAC", .channels = 6, .sampleRate = 48000}},
        {"a rate out of range", TrackEntry(2, {Master(0xE1, {Float(0xB5, 5e9)})}), {.channels = 1}},
        {"a width out of range",
         TrackEntry(1, {Master(0xE0, {Uint(0xB0, std::uint64_t{1} << 32), Uint(0xBA, 480)})}),
         {.height = 480}},
    };
    for (const auto& c : cases) {
        const Reading reading = ReadFilm(BuildMatroska({.tracks = Element(0x1654AE6B, c.entry)}).whole());
        const auto& track = reading.info.video ? reading.info.video : reading.info.audio;
        EXPECT_EQ(track, c.expected) << c.name;
    }
}

struct TagCase {
    const char* name;
    std::vector<Bytes> tags;
    MovieTags expected;
    std::uint64_t videoBitrate = 0;
};

TEST(ReadMatroska, TagsOfTheWholeFilmOnly) {
    const Bytes title = SimpleTag("TITLE", "Tag Title");
    const std::vector<TagCase> cases = {
        {"none: Info's Title and WritingApp", {}, {.title = "Info Title", .software = "mkvmerge"}},
        {"TITLE wins over Info's Title", {Tag({}, {title})}, {.title = "Tag Title", .software = "mkvmerge"}},
        {"movie level 50",
         {Tag({Uint(0x68CA, 50)}, {title, SimpleTag("ARTIST", "A")})},
         {.title = "Tag Title", .author = "A", .software = "mkvmerge"}},
        {"another level",
         {Tag({Uint(0x68CA, 30)}, {title})},
         {.title = "Info Title", .software = "mkvmerge"}},
        {"a chapter's tag",
         {Tag({Uint(0x63C4, 7)}, {title})},
         {.title = "Info Title", .software = "mkvmerge"}},
        {"a UID of 0 is every track",
         {Tag({Uint(0x63C5, 0)}, {title})},
         {.title = "Tag Title", .software = "mkvmerge"}},
        {"DIRECTOR without ARTIST",
         {Tag({}, {SimpleTag("DIRECTOR", "D")})},
         {.title = "Info Title", .author = "D", .software = "mkvmerge"}},
        {"ARTIST before DIRECTOR",
         {Tag({}, {SimpleTag("DIRECTOR", "D"), SimpleTag("ARTIST", "A")})},
         {.title = "Info Title", .author = "A", .software = "mkvmerge"}},
        {"the first of two",
         {Tag({}, {SimpleTag("GENRE", "One")}), Tag({}, {SimpleTag("GENRE", "Two")})},
         {.title = "Info Title", .software = "mkvmerge", .genre = "One"}},
        {"names are case-sensitive",
         {Tag({}, {SimpleTag("Genre", "x"), SimpleTag("ENCODER", "Lavf")})},
         {.title = "Info Title", .software = "Lavf"}},
        {"BPS of the video track",
         {Tag({Uint(0x63C5, 11)}, {SimpleTag("BPS", "3500000")})},
         {.title = "Info Title", .software = "mkvmerge"},
         3'500'000},
        {"BPS as a remux names it",
         {Tag({Uint(0x63C5, 11)}, {SimpleTag("BPS-eng", "1234")})},
         {.title = "Info Title", .software = "mkvmerge"},
         1234},
        {"BPS of another track",
         {Tag({Uint(0x63C5, 99)}, {SimpleTag("BPS", "1234")})},
         {.title = "Info Title", .software = "mkvmerge"}},
        {"BPS that is no number",
         {Tag({Uint(0x63C5, 11)}, {SimpleTag("BPS", "12a")})},
         {.title = "Info Title", .software = "mkvmerge"}},
    };
    for (const auto& c : cases) {
        const Reading reading = ReadFilm(BuildMatroska({.tags = Master(0x1254C367, c.tags)}).whole());
        EXPECT_EQ(reading.info.tags, c.expected) << c.name;
        EXPECT_EQ(reading.info.video->bitrate, c.videoBitrate) << c.name;
    }
    const Bytes muxerOnly = Master(0x1549A966, {Text(0x4D80, "libebml")});
    EXPECT_EQ(ReadFilm(BuildMatroska({.info = muxerOnly, .tags = Master(0x1254C367, {})}).whole())
                  .info.tags.software,
              "libebml");
}

TEST(ReadMatroska, OtherDocTypesAreRefused) {
    for (const std::string docType : {"matroskaX", "WEBM", ""}) {
        const Reading reading = ReadFilm(BuildMatroska({.ebmlHeader = EbmlHeader(docType)}).whole());
        EXPECT_EQ(reading.info, ContainerInfo{}) << docType;
        EXPECT_EQ(reading.counts.reads, 1) << docType;
    }
    EXPECT_EQ(ReadFilm(BuildMatroska({.ebmlHeader = Master(0x1A45DFA3, {Uint(0x4286, 1)})}).whole()).info,
              ContainerInfo{});
}

}  // namespace

}  // namespace discstart
