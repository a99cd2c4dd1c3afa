#include <gtest/gtest.h>

#include "media/iso_reading.h"

namespace discstart {

namespace {

using namespace isobmff;

// A protected entry's scheme information: its original format first, as writers put it.
Bytes Sinf(const std::string& format) {
    return Box("sinf", Box("frma", format) + FullBox("schm", 0, "cenc" + Be32(0x10000)));
}

IsoReading Read(const Bytes& bytes) {
    return ReadIso(bytes);
}

MovieRecipe WithTracks(std::vector<TrackRecipe> tracks) {
    MovieRecipe movie;
    movie.tracks = std::move(tracks);
    return movie;
}

struct AacCase {
    const char* name;
    Bytes config;  // AudioSpecificConfig
    std::uint8_t audioObjectType;
    std::uint32_t channels;
    std::uint32_t sampleRate;
};

TEST(ReadIsoMedia, AacConfigurations) {
    const std::vector<AacCase> cases = {
        {"lc", Bytes("\x11\x90", 2), 2, 2, 48000},
        {"escaped object type", Bytes("\xF9\x46\x40", 3), 42, 2, 48000},
        {"explicit rate", Bytes("\x17\x80\x2B\x67\x08", 5), 2, 1, 22222},
        {"sbr first", Bytes("\x2B\x11\x88\x00", 4), 5, 2, 48000},
        {"ps first", Bytes("\xEB\x09\x88\x00", 4), 29, 2, 48000},
        {"sbr in a sync extension", Bytes("\x13\x10\x56\xE5\x98", 5), 5, 2, 48000},
        {"ps in a sync extension", Bytes("\x13\x08\x56\xE5\x9D\x48\x80", 7), 29, 2, 48000},
        {"sync extension without sbr", Bytes("\x13\x10\x56\xE5\x00", 5), 2, 2, 24000},
        // ER AAC LC with its extension flags and error protection set-up, then a sync extension,
        // which counts only where the protection is below 2
        {"error resilient, sbr in a sync extension", Bytes("\x8B\x11\x01\x5B\x96\x60", 6), 5, 2, 48000},
        {"error resilient, protection 2", Bytes("\x8B\x11\x09\x5B\x96\x60", 6), 17, 2, 24000},
        // configuration 0: the element tag, profile and rate; 2 front (a pair and a single), 1 side,
        // 1 back, 1 LFE, no data or coupling, no mixdowns; the elements, the LFE's tag, no comment
        {"program config element", Bytes("\x12\x00\x05\x08\x45\x00\x20\x11\x0C\x00\x00", 11), 2, 6, 44100},
        // a front pair only, a three-byte comment, then sbr in a sync extension
        {"program config element with a comment",
         Bytes("\x12\x00\x05\x04\x00\x00\x20\x03\x41\x42\x43\x56\xE5\x88", 14), 5, 2, 88200},
        {"program config element cut short: the entry's count", Bytes("\x12\x00\x05\x08\x45", 5), 2, 2,
         44100},
        {"reserved configuration: the entry's count", Bytes("\x12\x40", 2), 2, 2, 44100},
        {"cut short: the sample entry's count and rate", Bytes("\x11", 1), 0, 2, 44100},
    };
    for (const auto& c : cases) {
        MovieRecipe movie;
        movie.tracks = {SoundTrack(SoundEntry("mp4a", 2, 44100, Esds(0x40, 96000, c.config)))};
        const auto audio = Read(MoovFirst(movie)).info.audio;
        EXPECT_EQ(*audio, (TrackFacts{.codecId = "mp4a",
                                      .objectType = 0x40,
                                      .audioObjectType = c.audioObjectType,
                                      .channels = c.channels,
                                      .sampleRate = c.sampleRate,
                                      .bitrate = 96000}))
            << c.name;
    }
}

struct EntryCase {
    const char* name;
    TrackRecipe track;
    TrackFacts expected;
    std::string brand = "isom";
};

TEST(ReadIsoMedia, SampleEntries) {
    const auto sound = [](const Bytes& entry) { return SoundTrack(entry); };
    const Bytes flacInfo =
        Bytes("\x80\0\0\x22\x10\0\x10\0\0\0\0\0\0\0\x0A\xC4\x42\xF0", 18) + Bytes(20, '\0');
    const Bytes opusInfo("\0\x06\x01\x38\0\0\xAC\x44\0\0\x01", 11);
    const Bytes wave =
        Box("wave", Box("frma", "mp4a") + Esds(0x40, 0, Bytes("\x11\x90", 2)) + Be32(8) + Be32(0));
    const std::vector<EntryCase> cases = {
        {"avc1 with btrt",
         {.entry = VisualEntry("avc1", 640, 360, Btrt(1'000'000))},
         {.codecId = "avc1", .width = 640, .height = 360, .framesPerSecond = 25, .bitrate = 1'000'000}},
        {"mp4v",
         {.entry = VisualEntry("mp4v", 320, 240, Esds(0x20, 800'000))},
         {.codecId = "mp4v",
          .objectType = 0x20,
          .width = 320,
          .height = 240,
          .framesPerSecond = 25,
          .bitrate = 800'000}},
        // An ISO entry's channel count is a template (2) that ffmpeg writes for a mono MP3 too.
        {"mp3 in mp4a",
         sound(SoundEntry("mp4a", 2, 44100, Esds(0x6B, 128'000))),
         {.codecId = "mp4a", .objectType = 0x6B, .sampleRate = 44100, .bitrate = 128'000}},
        {"mp3 in QuickTime",
         sound(SoundEntry(".mp3", 1, 44100)),
         {.codecId = ".mp3", .channels = 1, .sampleRate = 44100},
         "qt  "},
        {"opus",
         sound(SoundEntry("Opus", 2, 44100, Box("dOps", opusInfo))),
         {.codecId = "Opus", .channels = 6, .sampleRate = 48000}},
        {"ac-3",
         sound(SoundEntry("ac-3", 2, 48000, Box("dac3", Bytes("\x10\x3D\xE0", 3)))),
         {.codecId = "ac-3", .channels = 6, .sampleRate = 48000, .bitrate = 448'000}},
        {"e-ac-3 7.1",
         sound(SoundEntry("ec-3", 2, 48000, Box("dec3", Bytes("\x14\x00\x20\x0F\x02\x80", 6)))),
         {.codecId = "ec-3", .channels = 8, .sampleRate = 48000, .bitrate = 640'000}},
        {"flac",
         sound(SoundEntry("fLaC", 2, 48000, FullBox("dfLa", 0, flacInfo))),
         {.codecId = "fLaC", .channels = 2, .sampleRate = 44100}},
        {"QuickTime version 1, esds in wave",
         sound(SoundEntry("mp4a", 1, 44100, wave, 1)),
         {.codecId = "mp4a", .objectType = 0x40, .audioObjectType = 2, .channels = 2, .sampleRate = 48000},
         "qt  "},
        {"QuickTime version 2",
         sound(SoundEntry("mp4a", 6, 96000, "", 2)),
         {.codecId = "mp4a", .channels = 6, .sampleRate = 96000},
         "qt  "},
        {"255 channels",
         sound(SoundEntry("mp4a", 255, 48000, "", 2)),
         {.codecId = "mp4a", .channels = 255, .sampleRate = 48000}},
        {"256 channels are none",
         sound(SoundEntry("mp4a", 256, 48000, "", 2)),
         {.codecId = "mp4a", .sampleRate = 48000}},
        {"any sound entry",
         sound(SoundEntry("sowt", 2, 48000)),
         {.codecId = "sowt", .channels = 2, .sampleRate = 48000}},
        {"any QuickTime sound entry",
         sound(SoundEntry("ima4", 1, 22050, "", 1)),
         {.codecId = "ima4", .channels = 1, .sampleRate = 22050},
         "qt  "},
        {"AMR is mono",
         sound(SoundEntry("samr", 2, 8000)),
         {.codecId = "samr", .channels = 1, .sampleRate = 8000}},
        {"any picture entry",
         {.entry = VisualEntry("vvc1", 1280, 720)},
         {.codecId = "vvc1", .width = 1280, .height = 720, .framesPerSecond = 25}},
        {"encrypted picture",
         {.entry = VisualEntry("encv", 1920, 1080, Sinf("avc1") + Btrt(2'000'000))},
         {.codecId = "avc1", .width = 1920, .height = 1080, .framesPerSecond = 25, .bitrate = 2'000'000}},
        {"encrypted sound",
         sound(SoundEntry("enca", 2, 44100,
                          Box("sinf", Box("schm", "")) + Sinf("mp4a") + Esds(0x40, 0, Bytes("\x11\x88", 2)))),
         {.codecId = "mp4a", .objectType = 0x40, .audioObjectType = 2, .channels = 1, .sampleRate = 48000}},
        {"encrypted Opus",
         sound(SoundEntry("enca", 2, 44100, Sinf("Opus") + Box("dOps", opusInfo))),
         {.codecId = "Opus", .channels = 6, .sampleRate = 48000}},
        {"encrypted, no original format",
         sound(SoundEntry("enca", 2, 44100, Box("sinf", Box("frma", "mp4")))),
         {.codecId = "enca", .channels = 2, .sampleRate = 44100}},
        {"sound entry in a picture track",
         {.entry = SoundEntry("enca", 2, 44100)},
         {.codecId = "enca", .framesPerSecond = 25}},
        {"picture entry in a sound track", sound(VisualEntry("avc1", 640, 360)), {.codecId = "avc1"}},
    };
    for (const auto& c : cases) {
        const IsoReading reading = Read(Ftyp(c.brand) + Moov(WithTracks({c.track})));
        const auto& track = c.track.handler == "vide" ? reading.info.video : reading.info.audio;
        ASSERT_TRUE(track) << c.name;
        EXPECT_EQ(*track, c.expected) << c.name;
    }
    for (const char* type : {"avc3", "hvc1", "hev1", "av01", "vp09"}) {
        const auto video = Read(MoovFirst(WithTracks({{.entry = VisualEntry(type, 1920, 800)}}))).info.video;
        EXPECT_EQ(*video, (TrackFacts{.codecId = type, .width = 1920, .height = 800, .framesPerSecond = 25}));
    }
}

TEST(ReadIsoMedia, FirstVideoAndFirstSoundTrack) {
    TrackRecipe text{.handler = "text", .entry = Box("tx3g", "")};
    TrackRecipe second{.entry = VisualEntry("hvc1", 320, 200)};
    const auto info = Read(MoovFirst(WithTracks({text, SoundTrack(), TrackRecipe{}, second,
                                                 SoundTrack(SoundEntry("ac-3", 2, 48000))})))
                          .info;
    EXPECT_EQ(info.video->codecId, "avc1");
    EXPECT_EQ(info.audio->codecId, "mp4a");
    EXPECT_FALSE(Read(MoovFirst(WithTracks({text}))).info.video);
}

struct LayoutCase {
    const char* name;
    Bytes file;
    std::string brand;
    bool indexAfterMedia;
};

TEST(ReadIsoMedia, FindsMoovWhereverItLies) {
    const Bytes moov = Moov({});
    const Bytes media = Bytes(3000, '\0');
    const std::vector<LayoutCase> cases = {
        {"moov first", MoovFirst({}), "isom", false},
        {"moov last", MoovLast({}), "isom", true},
        {"64-bit mdat", Ftyp() + LargeBox("mdat", media) + moov, "isom", true},
        {"64-bit moov", Ftyp("mp42") + LargeBox("moov", moov.substr(8)), "mp42", false},
        {"moov to the end of the file", Ftyp() + Box("mdat", media) + Be32(0) + moov.substr(4), "isom", true},
        {"media to the end of the file", Ftyp() + moov + Be32(0) + "mdat" + media, "isom", false},
        {"old QuickTime", Box("wide", "") + Box("mdat", media) + Box("skip", "x") + moov, "", true},
    };
    for (const auto& c : cases) {
        const IsoReading reading = Read(c.file);
        EXPECT_EQ(reading.kind, MovieFileKind::Mp4) << c.name;
        EXPECT_EQ(reading.info.brand, c.brand) << c.name;
        EXPECT_EQ(reading.info.indexAfterMedia, c.indexAfterMedia) << c.name;
        EXPECT_EQ(reading.info.durationSeconds, 10) << c.name;
        ASSERT_TRUE(reading.info.video && reading.info.audio) << c.name;
        EXPECT_EQ(reading.info.audio->sampleRate, 48000u) << c.name;
        EXPECT_EQ(reading.counts.reads, 1) << c.name;
    }
}

struct DurationCase {
    const char* name;
    MovieRecipe movie;
    double seconds;
    bool fragmented;
};

TEST(ReadIsoMedia, Duration) {
    const auto movie = [](std::uint64_t duration, std::uint8_t version = 0, Bytes mvex = "") {
        MovieRecipe recipe;
        recipe.timescale = 600;
        recipe.duration = duration;
        recipe.version = version;
        recipe.mvex = std::move(mvex);
        return recipe;
    };
    const Bytes trex = FullBox("trex", 0, Be32(1) + Be32(1) + Be32(0) + Be32(0) + Be32(0));
    const std::vector<DurationCase> cases = {
        {"mvhd", movie(5400 * 600), 5400, false},
        // Read in 64 bits, then past a week: left out.
        {"mvhd version 1", movie(std::uint64_t{600} << 32, 1), 0, false},
        {"no mvhd duration: the longest track", movie(0), 10, false},
        {"unknown mvhd duration", movie(0xFFFFFFFF), 10, false},
        {"no mvhd time scale: the longest track",
         [&] {
             MovieRecipe recipe = movie(600);
             recipe.timescale = 0;
             return recipe;
         }(),
         10, false},
        {"no time scale anywhere",
         [&] {
             MovieRecipe recipe = movie(600);
             recipe.timescale = 0;
             for (auto& track : recipe.tracks) track.timescale = 0;
             return recipe;
         }(),
         0, false},
        {"fragmented with mehd", movie(300, 0, FullBox("mehd", 0, Be32(7200)) + trex), 12, true},
        {"fragmented with a 64-bit mehd", movie(300, 0, FullBox("mehd", 1, Be64(7200)) + trex), 12, true},
        {"fragmented without mehd", movie(300, 0, trex), 0, true},
    };
    for (const auto& c : cases) {
        const auto info = Read(MoovFirst(c.movie)).info;
        EXPECT_DOUBLE_EQ(info.durationSeconds, c.seconds) << c.name;
        EXPECT_EQ(info.fragmented, c.fragmented) << c.name;
    }
    const auto fragments = Read(Ftyp() + Moov({}) + Box("moof", "") + Box("mdat", "")).info;
    EXPECT_FALSE(fragments.fragmented);  // the walk ends at moov
    EXPECT_TRUE(Read(Ftyp() + Box("moof", "") + Box("mdat", "") + Moov({})).info.fragmented);
}

struct FrameRateCase {
    std::uint32_t timescale;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> times;
    double framesPerSecond;
};

TEST(ReadIsoMedia, FrameRateFromTheLongestRunOfSampleDurations) {
    // Runs of one sample each, of two durations by turns, up to the 64 KiB read (8191 runs).
    const auto changing = [](std::size_t runs, std::pair<std::uint32_t, std::uint32_t> then) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> times;
        for (std::size_t i = 0; i < runs; ++i) times.push_back({1, i % 2 ? 1000 : 2000});
        times.push_back(then);
        return times;
    };
    const std::vector<FrameRateCase> cases = {
        {12800, {{250, 512}}, 25},
        {30000, {{249, 1001}, {1, 500}}, 30000.0 / 1001},
        {24000, {{3, 2002}, {100, 1001}, {5, 2002}}, 24000.0 / 1001},
        // most time, not most samples: 100 short frames are one second, 50 long ones five
        {10000, {{100, 100}, {50, 1000}}, 10},
        // neighbouring runs of one duration count as one
        {10000, {{30, 1000}, {40, 1000}, {50, 1200}}, 10},
        // a film of one frame a time unit long
        {25, {{1, 1}}, 25},
        {90000, changing(64, {100, 3000}), 30},
        {90000, changing(8190, {100, 3000}), 30},
        {90000, changing(8191, {100, 3000}), 45},
        {90000, {{10, 0}}, 0},
        {0, {{10, 512}}, 0},
        {12800, {}, 0},
    };
    for (const auto& c : cases) {
        const auto video =
            Read(MoovFirst(WithTracks({{.timescale = c.timescale, .times = c.times}}))).info.video;
        EXPECT_DOUBLE_EQ(video->framesPerSecond, c.framesPerSecond) << c.timescale;
    }
}

TEST(ReadIsoMedia, Tags) {
    const Bytes long1024(1024, 'x');
    MovieRecipe movie;
    movie.udta = ItemList({{"\251nam", "Ein Film"},
                           {"\251ART", "Anna \xC3\x84rger"},
                           {"cprt", long1024},
                           {"\251gen", long1024 + "y"},
                           {"\251too", "Lavf59.27.100"}});
    MovieTags expected;
    expected.title = "Ein Film";
    expected.author = "Anna \xC3\x84rger";
    expected.copyright = long1024;
    expected.software = "Lavf59.27.100";
    expected.genre = long1024;
    EXPECT_EQ(Read(MoovFirst(movie)).info.tags, expected);

    // QuickTime's texts in udta, 3GPP's copyright; the item list wins where both have a text.
    const auto text = [](const Bytes& value) {
        return Be16(std::uint16_t(value.size())) + Be16(0x55C4) + value;
    };
    movie.udta = Box("\251nam", text("QuickTime")) + Box("\251cpy", text("(c) QT")) +
                 Box("\251swr", text("Lavf")) +
                 ItemList({{"\251nam", "Item"}, {"\251gen", Bytes("\0\0", 2)}});
    expected = {};
    expected.title = "Item";
    expected.copyright = "(c) QT";
    expected.software = "Lavf";
    expected.genre = Bytes("\0\0", 2);
    EXPECT_EQ(Read(MoovFirst(movie)).info.tags, expected);
    movie.udta = FullBox("cprt", 0, Be16(0x55C4) + Bytes("(c) 3GPP\0", 9));
    EXPECT_EQ(Read(MoovFirst(movie)).info.tags.copyright, "(c) 3GPP");
    movie.udta = FullBox("cprt", 0, Be16(0x55C4) + Bytes("\xFE\xFF\0c\0\0", 6));  // UTF-16
    EXPECT_EQ(Read(MoovFirst(movie)).info.tags.copyright, "");
    // QuickTime's meta has no version and flags; only UTF-8 data (type 1) is a text.
    const auto item = [](const Bytes& type, std::uint32_t dataType, const Bytes& value) {
        return Box(type, Box("data", Be32(dataType) + Be32(0) + value));
    };
    movie.udta = Box("meta", FullBox("hdlr", 0, Be32(0) + "mdta" + Bytes(13, '\0')) +
                                 Box("ilst", item("\251nam", 13, "JPEG") + item("\251ART", 1, "Anna")));
    const auto tags = Read(MoovFirst(movie)).info.tags;
    EXPECT_EQ(tags.title, "");
    EXPECT_EQ(tags.author, "Anna");
}

}  // namespace

}  // namespace discstart
