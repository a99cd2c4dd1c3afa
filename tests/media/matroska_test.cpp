#include <gtest/gtest.h>

#include "matroska_reading.h"
#include "media/matroska/ebml_element.h"

// The expected records are written with designated initializers; the fields left out are meant
// to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace discstart {

namespace {

using namespace ebml;

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
        const Reading reading = ReadFilm(BuildMatroska(c.recipe));
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
    const Reading reading = ReadFilm(bytes);
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
        const Reading reading = ReadFilm(BuildMatroska(recipe).whole());
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
            ReadFilm(BuildMatroska({.tracks = tracks, .tracksAt = Where::End, .mediaBytes = MiB}));
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
        const Reading reading = ReadFilm(BuildMatroska({.tags = Element(0x1254C367, children)}).whole());
        EXPECT_EQ(reading.info.tags.genre, voids < EbmlMaxChildren ? "Drama" : "") << voids;
    }
}

TEST(ReadMatroska, SizesAreCheckedAgainstTheParent) {
    // The Title reaches the Info's end exactly, or one byte past it.
    const Bytes children = Float(0x4489, 7000) + Text(0x7BA9, "T");
    for (const std::uint64_t size : {children.size(), children.size() - 1}) {
        const Bytes info = Id(0x1549A966) + Size(size) + children;
        const Reading reading =
            ReadFilm(BuildMatroska({.info = info, .tags = Master(0x1254C367, {})}).whole());
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
            ReadFilm(EbmlHeader() + Id(0x18538067) + Size(segmentSize, 8) + seekHead(position) + Void(64));
        EXPECT_TRUE(reading.info.hasSeekHead);
        EXPECT_EQ(reading.info.hasCues, position < segmentSize) << position;
    }
}

TEST(ReadMatroska, ACutFileGivesWhatItHolds) {
    const Bytes whole = BuildMatroska({.tagsAt = Where::End, .mediaBytes = 64}).whole();
    const ContainerInfo film = Film();
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const Reading reading = ReadFilm(whole.substr(0, length));
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
    EXPECT_EQ(ReadFilm(whole).info, film);
}

struct HeaderCase {
    Bytes bytes;
    std::uint64_t limit;
    EbmlHeaderStatus status;
    std::uint64_t id = 0;
    std::uint64_t size = 0;
    bool unknownSize = false;
};

TEST(EbmlHeaderAt, IdsAndSizesOfOneToEightBytes) {
    using enum EbmlHeaderStatus;
    const std::vector<HeaderCase> cases = {
        {Bytes("\x83\x81", 2), 100, Ok, 0x83, 1},
        {Bytes("\x01\0\0\0\0\0\0\x83\x81", 9), 100, Ok, 0x0100000000000083, 1},
        {Bytes("\x83\x01\0\0\0\0\0\0\x05", 9), 100, Ok, 0x83, 5},
        {Bytes("\x83\x85", 2), 7, Ok, 0x83, 5},         // ends at its parent's end
        {Bytes("\x83\x85", 2), 6, Invalid},             // one byte past it
        {Bytes("\x83\xFF", 2), 10, Ok, 0x83, 8, true},  // unknown: to the parent's end
        {Bytes("\x83\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 9), 20, Ok, 0x83, 11, true},
        {Bytes("\x00\x81", 2), 100, Invalid},  // no length marker in the ID
        {Bytes("\x83\x00", 2), 100, Invalid},  // nor in the size
        {Bytes("\xFF\x81", 2), 100, Invalid},  // a reserved ID
        {Bytes("\x80\x81", 2), 100, Invalid},  // an ID of zero
        {Bytes("\x1A\x45", 2), 100, NotHeld},
        {Bytes("\x83\x40", 2), 100, NotHeld},
    };
    for (const auto& c : cases) {
        const ByteWindow window(0, std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()), false);
        const EbmlHeaderRead read = EbmlHeaderAt(window, 0, c.limit);
        EXPECT_EQ(read.status, c.status) << c.bytes.size() << " " << c.limit;
        if (c.status != Ok) continue;
        EXPECT_EQ(read.element.id, c.id);
        EXPECT_EQ(read.element.size, c.size);
        EXPECT_EQ(read.element.unknownSize, c.unknownSize);
        EXPECT_EQ(read.element.dataStart, c.bytes.size());
    }
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
