#include <gtest/gtest.h>

#include <memory>

#include "readers/container.h"
#include "readers/ebml_element.h"
#include "support/ebml_bytes.h"
#include "support/memory_files.h"

// The expected records are written with designated initializers; the fields left out are meant
// to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace discstart {

namespace {

using namespace ebml;

}  // namespace

void PrintTo(const TrackFacts& t, std::ostream* out) {
    *out << "{" << t.codecId << " fourcc " << t.fourcc << " tag " << t.formatTag << " aot "
         << int(t.audioObjectType) << " " << t.width << "x" << t.height << " fps " << t.framesPerSecond
         << " ch " << t.channels << " rate " << t.sampleRate << " bitrate " << t.bitrate << "}";
}

void PrintTo(const ContainerInfo& i, std::ostream* out) {
    *out << "{" << i.brand << " " << i.durationSeconds << " s, video ";
    i.video ? PrintTo(*i.video, out) : void(*out << "none");
    *out << ", audio ";
    i.audio ? PrintTo(*i.audio, out) : void(*out << "none");
    *out << ", tags " << i.tags.title << "|" << i.tags.author << "|" << i.tags.copyright << "|"
         << i.tags.genre << "|" << i.tags.software << ", seek " << i.hasSeekHead << " cues " << i.hasCues
         << "}";
}

namespace {

struct Reading {
    ContainerInfo info;
    CountingFiles::Counts counts;
};

// As ReadContainer reads a Matroska file: the head in one read, then the reader.
Reading Read(const FileOpener& files) {
    CountingFiles counting(files);
    Reading reading;
    const auto file = counting.open("film.mkv");
    const ByteWindow head = ByteWindow::Read(*file, 0, ContainerHeadBlock);
    ReadMatroska(*file, head, reading.info);
    reading.counts = counting.counts();
    return reading;
}

Reading Read(const MatroskaParts& parts) {
    VirtualMovie movie(std::make_shared<std::vector<std::uint8_t>>(parts.front.begin(), parts.front.end()),
                       parts.tailAt + parts.tail.size());
    movie.place(parts.tailAt, parts.tail);
    return Read(movie);
}

Reading Read(const Bytes& bytes) {
    MemoryFiles memory;
    memory.add("film.mkv", bytes);
    return Read(memory);
}

ContainerInfo Film() {
    ContainerInfo info;
    info.brand = "matroska";
    info.durationSeconds = 5400;
    info.video = TrackFacts{
        .codecId = "V_MPEG4/ISO/AVC", .width = 640, .height = 272, .framesPerSecond = 25, .bitrate = 900'000};
    info.audio = TrackFacts{.codecId = "A_AAC", .channels = 2, .sampleRate = 48'000};
    info.tags = {.title = "Tag Title",
                 .author = "Someone",
                 .copyright = "(c) 2024",
                 .software = "Lavf",
                 .genre = "Drama"};
    info.hasSeekHead = true;
    info.hasCues = true;
    return info;
}

constexpr std::uint64_t MiB = 1 << 20;

struct LayoutCase {
    const char* name;
    MatroskaRecipe recipe;
    int reads;
    bool hasSeekHead = true;
    bool hasCues = true;
};

TEST(ReadMatroska, EveryLayoutGivesTheSameFilmWithinItsReads) {
    const std::vector<LayoutCase> cases = {
        {"ffmpeg: all before the Clusters", {}, 1},
        {"mkvmerge: Tags after the Clusters", {.tagsAt = Where::End, .mediaBytes = MiB}, 2},
        {"every section after the Clusters",
         {.infoAt = Where::End, .tracksAt = Where::End, .tagsAt = Where::End, .mediaBytes = MiB},
         2},
        {"a second SeekHead after the Clusters",
         {.secondSeekHead = true, .tagsAt = Where::End, .mediaBytes = MiB},
         2},
        {"Tags past 4 GiB", {.tagsAt = Where::End, .mediaBytes = std::uint64_t{9} << 29}, 2},
        {"sections past the head at the front", {.voidBeforeSections = 20'000}, 2},
        {"no SeekHead, sections past the head",
         {.seekHead = false, .voidBeforeSections = 20'000},
         2,
         false,
         false},
        {"a stream: unknown sizes, no SeekHead",
         {.unknownSegmentSize = true, .seekHead = false, .unknownClusterSize = true, .mediaBytes = MiB},
         1,
         false,
         false},
        {"Cues before the Clusters, not named",
         {.seekHeadNamesCues = false, .tagsAt = Where::End, .cuesBeforeClusters = true, .mediaBytes = MiB},
         2},
        {"Cues after the Clusters, not named",
         {.seekHeadNamesCues = false, .tagsAt = Where::End, .mediaBytes = MiB},
         2,
         true,
         false},
    };
    for (const auto& c : cases) {
        const Reading reading = Read(BuildMatroska(c.recipe));
        ContainerInfo expected = Film();
        expected.hasSeekHead = c.hasSeekHead;
        expected.hasCues = c.hasCues;
        EXPECT_EQ(reading.info, expected) << c.name;
        EXPECT_EQ(reading.counts.reads, c.reads) << c.name;
        // The head, then a first block at each further place.
        EXPECT_LE(reading.counts.bytes, ContainerHeadBlock + 4096u * (c.reads - 1)) << c.name;
    }
}

TEST(ReadMatroska, SeekHeadPlacesThatMissAreWalkedPast) {
    Bytes bytes = BuildMatroska({.voidBeforeSections = 20'000}).whole();
    for (auto at = bytes.find("\x53\xAC\x88"); at != Bytes::npos; at = bytes.find("\x53\xAC\x88", at + 1)) {
        ++bytes[at + 10];  // one byte past each section
    }
    const Reading reading = Read(bytes);
    EXPECT_EQ(reading.info, Film());
    EXPECT_EQ(reading.counts.reads, 3);
}

TEST(ReadMatroska, TheReadBudgetEndsAWalkWithoutSeekHead) {
    // Without a SeekHead the Segment is walked a read at a time; the sixth read is the last.
    for (const int voids : {4, 5}) {
        MatroskaRecipe recipe{.seekHead = false, .voidBeforeSections = 20'000};
        recipe.info = Bytes();
        for (int i = 0; i < voids; ++i) recipe.info += Void(5000);
        recipe.info += FilmInfo();
        const Reading reading = Read(BuildMatroska(recipe).whole());
        EXPECT_EQ(reading.counts.reads, 6) << voids;
        EXPECT_EQ(reading.info.durationSeconds, voids == 4 ? 5400 : 0) << voids;
    }
}

TEST(ReadMatroska, ASectionIsReadUpToItsCap) {
    // Tracks of exactly 256 KiB are read whole; one byte more and the last entry is cut off.
    for (const std::uint64_t payload : {std::uint64_t{256} << 10, (std::uint64_t{256} << 10) + 1}) {
        const Bytes entries = VideoTrack() + AudioTrack();
        const Bytes tracks = Element(0x1654AE6B, Void(payload - entries.size()) + entries);
        const Reading reading =
            Read(BuildMatroska({.tracks = tracks, .tracksAt = Where::End, .mediaBytes = MiB}));
        EXPECT_TRUE(reading.info.video) << payload;
        EXPECT_EQ(reading.info.audio.has_value(), payload == 256 << 10) << payload;
        EXPECT_LE(reading.counts.reads, 4) << payload;
    }
}

TEST(ReadMatroska, AMasterIsWalkedForAtMostItsChildLimit) {
    for (const int voids : {EbmlMaxChildren - 1, EbmlMaxChildren}) {
        Bytes children;
        for (int i = 0; i < voids; ++i) children += Void(2);
        children += Tag({}, {SimpleTag("GENRE", "Drama")});
        const Reading reading = Read(BuildMatroska({.tags = Element(0x1254C367, children)}).whole());
        EXPECT_EQ(reading.info.tags.genre, voids < EbmlMaxChildren ? "Drama" : "") << voids;
    }
}

TEST(ReadMatroska, DefaultsStandForAbsentElements) {
    const Bytes info = Master(0x1549A966, {Float(0x4489, 90'000, 4)});  // no TimestampScale
    const Bytes tracks =
        Master(0x1654AE6B, {TrackEntry(1, {Text(0x86, "V_VP9")}), TrackEntry(2, {Text(0x86, "A_OPUS")})});
    const Reading reading = Read(BuildMatroska({.ebmlHeader = EbmlHeader("webm"),
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
        const Reading reading = Read(BuildMatroska({.info = Master(0x1549A966, c.children)}).whole());
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
        const Reading reading = Read(BuildMatroska({.tracks = Element(0x1654AE6B, c.entry)}).whole());
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
        const Reading reading = Read(BuildMatroska({.tags = Master(0x1254C367, c.tags)}).whole());
        EXPECT_EQ(reading.info.tags, c.expected) << c.name;
        EXPECT_EQ(reading.info.video->bitrate, c.videoBitrate) << c.name;
    }
    const Bytes muxerOnly = Master(0x1549A966, {Text(0x4D80, "libebml")});
    EXPECT_EQ(
        Read(BuildMatroska({.info = muxerOnly, .tags = Master(0x1254C367, {})}).whole()).info.tags.software,
        "libebml");
}

TEST(ReadMatroska, OtherDocTypesAreRefused) {
    for (const std::string docType : {"matroskaX", "WEBM", ""}) {
        const Reading reading = Read(BuildMatroska({.ebmlHeader = EbmlHeader(docType)}).whole());
        EXPECT_EQ(reading.info, ContainerInfo{}) << docType;
        EXPECT_EQ(reading.counts.reads, 1) << docType;
    }
    EXPECT_EQ(Read(BuildMatroska({.ebmlHeader = Master(0x1A45DFA3, {Uint(0x4286, 1)})}).whole()).info,
              ContainerInfo{});
}

TEST(ReadMatroska, SizesAreCheckedAgainstTheParent) {
    // The Title reaches the Info's end exactly, or one byte past it.
    const Bytes children = Float(0x4489, 7000) + Text(0x7BA9, "T");
    for (const std::uint64_t size : {children.size(), children.size() - 1}) {
        const Bytes info = Id(0x1549A966) + Size(size) + children;
        const Reading reading = Read(BuildMatroska({.info = info, .tags = Master(0x1254C367, {})}).whole());
        EXPECT_EQ(reading.info.durationSeconds, 7) << size;
        EXPECT_EQ(reading.info.tags.title, size == children.size() ? "T" : "") << size;
    }
    // A SeekHead position must lie inside the Segment.
    const auto seekHead = [](std::uint64_t position) {
        return Master(0x114D9B74,
                      {Master(0x4DBB, {Element(0x53AB, Id(0x1C53BB6B)), Uint(0x53AC, position, 8)})});
    };
    const std::uint64_t segmentSize = seekHead(0).size() + 64;
    for (const std::uint64_t position : {segmentSize - 1, segmentSize}) {
        const Reading reading =
            Read(EbmlHeader() + Id(0x18538067) + Size(segmentSize, 8) + seekHead(position) + Void(64));
        EXPECT_TRUE(reading.info.hasSeekHead);
        EXPECT_EQ(reading.info.hasCues, position < segmentSize) << position;
    }
}

TEST(ReadMatroska, ACutFileGivesWhatItHolds) {
    const Bytes whole = BuildMatroska({.tagsAt = Where::End, .mediaBytes = 64}).whole();
    const ContainerInfo film = Film();
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const Reading reading = Read(whole.substr(0, length));
        const ContainerInfo& info = reading.info;
        EXPECT_LE(reading.counts.reads, 1) << length;
        EXPECT_TRUE(info.durationSeconds == 0 || info.durationSeconds == film.durationSeconds) << length;
        EXPECT_TRUE(!info.video || info.video == film.video || info.video->bitrate == 0) << length;
        EXPECT_TRUE(!info.audio || info.audio == film.audio) << length;
        for (const auto& [field, full] :
             {std::pair{&info.tags.title, film.tags.title}, std::pair{&info.tags.author, film.tags.author},
              std::pair{&info.tags.genre, film.tags.genre}}) {
            EXPECT_TRUE(field->empty() || *field == full || *field == "Info Title") << length;
        }
    }
    EXPECT_EQ(Read(whole).info, film);
}

TEST(ContainerKind, EbmlMagic) {
    const std::vector<std::pair<Bytes, MovieFileKind>> cases = {
        {Bytes("\x1A\x45\xDF\xA3", 4), MovieFileKind::Matroska},
        {Bytes("\x1A\x45\xDF", 3), MovieFileKind::Other},
        {Bytes("\x1A\x45\xDF\xA4\0\0\0\0", 8), MovieFileKind::Other},
        {EbmlHeader("webm"), MovieFileKind::Matroska},
    };
    for (const auto& [bytes, kind] : cases) {
        const ByteWindow head(0, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), true);
        EXPECT_EQ(ContainerKind(head), kind) << bytes.size();
    }
}

}  // namespace

}  // namespace discstart
