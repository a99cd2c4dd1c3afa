#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "media/iso_reading.h"
#include "support/memory_files.h"

namespace discstart {

namespace {

using namespace isobmff;

template <typename Source>
IsoReading Read(const Source& source) {
    IsoReading reading = ReadIso(source);
    EXPECT_EQ(reading.kind, MovieFileKind::Mp4);
    return reading;
}

// The file with its bytes at `at` replaced.
Bytes Patched(Bytes file, std::size_t at, const Bytes& bytes) {
    return file.replace(at, bytes.size(), bytes);
}

constexpr std::uint64_t KiB = 1024;

// A two-hour film: the sample tables make its moov megabytes long and lie between the video
// headers, the sound track and the tags. Each further track sits between the sound track and
// the tags, with tables of its own.
MovieRecipe LongFilm(int furtherTracks = 0) {
    MovieRecipe movie;
    movie.duration = 7200 * 1000;
    movie.tracks[0].sampleTableBytes = 1'450'000;
    movie.tracks[1].sampleTableBytes = 2'600'000;
    for (int i = 0; i < furtherTracks; ++i) {
        movie.tracks.push_back({.handler = "sbtl", .entry = Box("tx3g", ""), .sampleTableBytes = 100'000});
    }
    movie.udta = ItemList({{"\251nam", "Ein langer Film"}});
    return movie;
}

void ExpectLongFilm(const ContainerInfo& info, bool tags = true) {
    EXPECT_EQ(info.durationSeconds, 7200);
    ASSERT_TRUE(info.video && info.audio);
    EXPECT_EQ(info.video->framesPerSecond, 25);
    EXPECT_EQ(info.audio->sampleRate, 48000u);
    EXPECT_EQ(info.tags.title, tags ? "Ein langer Film" : "");
}

// moov after a 64-bit mdat of over 4 GiB, held without the gigabytes.
IsoReading ReadAfterFourGigabytes(const MovieRecipe& movie) {
    const Bytes start = Ftyp() + Be32(1) + "mdat" + Be64((std::uint64_t{4} << 30) + 1000);
    const std::uint64_t moovAt = 32 + (std::uint64_t{4} << 30) + 1000;
    const Bytes moov = Moov(movie);
    VirtualMovie file(std::make_shared<const std::vector<std::uint8_t>>(start.begin(), start.end()),
                      moovAt + moov.size());
    file.place(moovAt, moov);
    return Read(file);
}

TEST(IsoMediaBudget, LongFilmWithMoovFirst) {
    const IsoReading reading = Read(MoovFirst(LongFilm()));
    ExpectLongFilm(reading.info);
    EXPECT_FALSE(reading.info.indexAfterMedia);
    EXPECT_EQ(reading.counts.reads, 3);
    EXPECT_LE(reading.counts.bytes, 64 * KiB);
}

TEST(IsoMediaBudget, LongFilmWithMoovAfterFourGigabytes) {
    const IsoReading reading = ReadAfterFourGigabytes(LongFilm());
    ExpectLongFilm(reading.info);
    EXPECT_TRUE(reading.info.indexAfterMedia);
    EXPECT_EQ(reading.counts.reads, 4);
    EXPECT_LE(reading.counts.bytes, 64 * KiB);
}

TEST(IsoMediaBudget, ReadsStopAtFive) {
    // One more track costs one more read: the tags at the fifth are read, at the sixth they are not.
    for (int further : {1, 2}) {
        const IsoReading reading = ReadAfterFourGigabytes(LongFilm(further));
        ExpectLongFilm(reading.info, further == 1);
        EXPECT_EQ(reading.counts.reads, 5) << further;
        EXPECT_LE(reading.counts.bytes, 80 * KiB) << further;
    }
}

struct SizeCase {
    const char* name;
    Bytes file;
    bool movie;  // mvhd and both tracks read
    bool tags;
};

TEST(IsoMediaHostile, SizesAgainstTheBoxTheyLieIn) {
    MovieRecipe tagged;
    tagged.udta = ItemList({{"\251nam", "Title"}});
    const Bytes moov = Moov(tagged);
    const std::size_t udta = moov.find("udta") - 4;
    const auto withUdtaSize = [&](std::uint32_t size) { return Ftyp() + Patched(moov, udta, Be32(size)); };
    const auto afterMdat = [&](const Bytes& mdat) { return Ftyp() + mdat + moov; };
    const auto frees = [](int count) {
        Bytes out;
        for (int i = 0; i < count; ++i) out += Box("free", "");
        return out;
    };
    const std::uint32_t udtaSize = std::uint32_t(moov.size() - udta);
    const std::vector<SizeCase> cases = {
        {"udta ends with moov", withUdtaSize(udtaSize), true, true},
        {"udta one past moov", withUdtaSize(udtaSize + 1), true, false},
        {"udta to the end of moov", withUdtaSize(0), true, true},
        {"udta smaller than its header", withUdtaSize(7), true, false},
        {"mdat of its header alone", afterMdat(Box("mdat", "")), true, true},
        {"mdat smaller than its header", afterMdat(Be32(7) + "mdat"), false, false},
        {"64-bit mdat of its header alone", afterMdat(Be32(1) + "mdat" + Be64(16)), true, true},
        {"64-bit mdat smaller than its header", afterMdat(Be32(1) + "mdat" + Be64(15)), false, false},
        {"64-bit mdat to the last byte there can be",
         afterMdat(Be32(1) + "mdat" + Be64(~std::uint64_t{0} - 32)), false, false},
        {"64-bit mdat past it", afterMdat(Be32(1) + "mdat" + Be64(~std::uint64_t{0})), false, false},
        {"64 boxes on the way to moov", Ftyp() + frees(62) + moov, true, true},
        {"65 boxes on the way to moov", Ftyp() + frees(63) + moov, false, false},
        // mvhd, two traks and udta after the free boxes
        {"udta as the 256th box in moov", Ftyp() + Box("moov", frees(252) + moov.substr(8)), true, true},
        {"udta as the 257th box in moov", Ftyp() + Box("moov", frees(253) + moov.substr(8)), true, false},
    };
    for (const auto& c : cases) {
        const IsoReading reading = Read(c.file);
        const auto& info = reading.info;
        EXPECT_EQ(info.durationSeconds == 10 && info.video && info.audio, c.movie) << c.name;
        EXPECT_EQ(info.tags.title == "Title", c.tags) << c.name;
        EXPECT_EQ(reading.counts.reads, 1) << c.name;
    }
}

TEST(IsoMediaHostile, EntriesAndDescriptorsAgainstTheirBoxes) {
    const Bytes esds = Esds(0x40, 96000, "\x11\x90");
    const std::size_t config = esds.find('\x04');
    const auto audioOf = [](const Bytes& entry) {
        MovieRecipe movie;
        movie.tracks = {SoundTrack(entry)};
        return Read(MoovFirst(movie)).info.audio;
    };
    // The DecoderConfigDescriptor's size one past the ES_Descriptor that holds it.
    const auto cut = audioOf(SoundEntry("mp4a", 2, 44100, Patched(esds, config + 4, "\x1B")));
    EXPECT_EQ(cut->objectType, 0);
    EXPECT_EQ(cut->sampleRate, 44100u);
    EXPECT_EQ(audioOf(SoundEntry("mp4a", 2, 44100, Patched(esds, config + 4, "\x1A")))->objectType, 0x40);
    // A sample entry larger than its stsd is no entry.
    const Bytes entry = SoundEntry("mp4a", 2, 44100);
    EXPECT_EQ(audioOf(Patched(entry, 0, Be32(std::uint32_t(entry.size() + 1))))->codecId, "");
    EXPECT_EQ(audioOf(entry)->codecId, "mp4a");
}

// What a file cut short gives is what the whole file gives, or nothing: never half a text or a
// number read from the bytes of a box that is not there.
TEST(IsoMediaHostile, ACutFileGivesEachFactWholeOrNot) {
    MovieRecipe movie;
    movie.udta = ItemList({{"\251nam", "Ein Film"}, {"\251ART", "Anna"}});
    for (const Bytes& full : {MoovFirst(movie, 100), MoovLast(movie, 100)}) {
        const ContainerInfo whole = Read(full).info;
        for (std::size_t length = 0; length < full.size(); ++length) {
            MemoryFiles memory;
            memory.add("film.mp4", full.substr(0, length));
            CountingFiles files(memory);
            ContainerInfo cut;
            ReadContainer("film.mp4", cut, files);
            EXPECT_LE(files.counts().reads, 1) << length;
            const auto same = [](const auto& part, const auto& all) {
                return part == all || part == std::decay_t<decltype(part)>{};
            };
            EXPECT_TRUE(same(cut.brand, whole.brand)) << length;
            EXPECT_TRUE(same(cut.durationSeconds, whole.durationSeconds)) << length;
            EXPECT_TRUE(same(cut.tags.title, whole.tags.title) && same(cut.tags.author, whole.tags.author))
                << length;
            for (const auto& [part, all] :
                 {std::pair{cut.video, whole.video}, std::pair{cut.audio, whole.audio}}) {
                if (!part) continue;
                EXPECT_TRUE(same(part->codecId, all->codecId) && same(part->width, all->width) &&
                            same(part->framesPerSecond, all->framesPerSecond) &&
                            same(part->sampleRate, all->sampleRate) && same(part->bitrate, all->bitrate))
                    << length;
            }
        }
    }
}

struct KindCase {
    Bytes head;
    MovieFileKind kind;
};

TEST(ContainerKind, TellsTheFirstBox) {
    const std::vector<KindCase> cases = {
        {Ftyp(), MovieFileKind::Mp4},
        {Box("moov", ""), MovieFileKind::Mp4},
        {Box("mdat", ""), MovieFileKind::Mp4},
        {Box("free", ""), MovieFileKind::Mp4},
        {Box("skip", ""), MovieFileKind::Mp4},
        {Box("wide", ""), MovieFileKind::Mp4},
        {Be32(0) + "mdat", MovieFileKind::Mp4},
        {Be32(1) + "mdat", MovieFileKind::Mp4},
        {Be32(7) + "ftyp", MovieFileKind::Other},
        {Be32(2) + "ftyp", MovieFileKind::Other},
        {Ftyp().substr(0, 7), MovieFileKind::Other},
        {Box("uuid", Bytes(16, '\0')), MovieFileKind::Other},
        {Box("FTYP", ""), MovieFileKind::Other},
        {Bytes("\x1A\x45\xDF\xA3", 4), MovieFileKind::Matroska},
        {Bytes("\x1A\x45\xDF", 3), MovieFileKind::Other},
        {"RIFF" + Be32(0) + "AVI ", MovieFileKind::Other},
    };
    for (const auto& c : cases) {
        const ByteWindow head(0, std::vector<std::uint8_t>(c.head.begin(), c.head.end()), true);
        EXPECT_EQ(ContainerKind(head), c.kind) << c.head;
    }
}

}  // namespace

}  // namespace discstart
