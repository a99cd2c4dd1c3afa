#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "info/panel_rows.h"
#include "panel_fixture.h"
#include "support/number_formats.h"

namespace discstart {

namespace {

using Rows = std::array<std::optional<std::string>, PanelRowCount>;
const std::nullopt_t keep = std::nullopt;

TrackFacts Video(std::string id, std::uint64_t bitrate = 0) {
    TrackFacts video;
    video.codecId = std::move(id);
    video.width = 640;
    video.height = 272;
    video.framesPerSecond = 25;
    video.bitrate = bitrate;
    return video;
}

TrackFacts Audio(std::string id, std::uint64_t bitrate = 0, std::uint32_t channels = 2) {
    TrackFacts audio;
    audio.objectType = id == "mp4a" ? 0x40 : 0;
    audio.codecId = std::move(id);
    audio.channels = channels;
    audio.sampleRate = 48'000;
    audio.bitrate = bitrate;
    return audio;
}

ContainerInfo Film(std::optional<TrackFacts> video, std::optional<TrackFacts> audio, double seconds = 5400) {
    ContainerInfo film;
    film.durationSeconds = seconds;
    film.video = std::move(video);
    film.audio = std::move(audio);
    return film;
}

struct RowsCase {
    const char* name;
    ContainerInfo film;
    std::optional<std::int64_t> length;
    Rows rows;
    NumberFormat format = NumberFormat::English();
};

// The worked AVI example's numbers, stored and derived: 734,003,192 bytes over 5400 s less
// 128 kbit/s of audio is the AVI row's 937 Kbit/s.
TEST(ContainerRows, StoredAndDerivedRates) {
    constexpr std::int64_t size = 734'003'192;
    TrackFacts xvid = Video("V_MS/VFW/FOURCC");
    xvid.fourcc = "XVID";
    TrackFacts unknown = Audio("A_OPUS", 0, 0);
    unknown.sampleRate = 0;
    TrackFacts codecOnly;
    codecOnly.codecId = "avc1";
    const std::vector<RowsCase> cases = {
        {"rates stored",
         Film(Video("avc1", 1'000'000), Audio("mp4a", 128'000)),
         size,
         {"H.264/AVC", "977 Kbit/s", "640 x 272", "25.00", keep, "AAC", "128 Kbit/s", "2 (stereo)",
          "48,000 Hz", "700.00 MB", "90 min  sec", keep}},
        {"video rate derived, audio stored",
         Film(Video("avc1"), Audio("mp4a", 128'000)),
         size,
         {"H.264/AVC", "937 Kbit/s", "640 x 272", "25.00", keep, "AAC", "128 Kbit/s", "2 (stereo)",
          "48,000 Hz", "700.00 MB", "90 min  sec", keep}},
        {"no rate stored: the audio is counted in",
         Film(Video("V_VP9"), Audio("A_OPUS", 0, 6)),
         size,
         {"VP9", "1062 Kbit/s", "640 x 272", "25.00", keep, "Opus", keep, "6", "48,000 Hz", "700.00 MB",
          "90 min  sec", keep}},
        {"regional format",
         Film(Video("avc1", 1'000'000), Audio("mp4a", 128'000)),
         size,
         {"H.264/AVC", "977 Kbit/s", "640 x 272", "25,00", keep, "AAC", "128 Kbit/s", "2 (stereo)",
          "48.000 Hz", "700,00 MB", "90 min  sec", keep},
         GermanNumbers()},
        {"audio only",
         Film(std::nullopt, Audio("A_FLAC", 0, 1), 45),
         1'048'576,
         {keep, keep, keep, keep, keep, "FLAC", keep, "1 (mono)", "48,000 Hz", "1.00 MB", " min 45 sec",
          keep}},
        {"nothing known but the codec",
         Film(codecOnly, unknown, 0),
         std::nullopt,
         {"H.264/AVC", keep, keep, keep, keep, "Opus", keep, keep, keep, keep, keep, keep}},
        {"Xvid in Matroska",
         Film(xvid, std::nullopt, 2.5),
         100'000,
         {"Xvid MPEG-4", "313 Kbit/s", "640 x 272", "25.00", keep, keep, keep, keep, keep, "0.10 MB",
          " min 2 sec", keep}},
        {"half a second to even, up",
         Film(std::nullopt, std::nullopt, 3.5),
         0,
         {keep, keep, keep, keep, keep, keep, keep, keep, keep, "0.00 MB", " min 4 sec", keep}},
        {"stored audio above the file's rate",
         Film(Video("avc1"), Audio("mp4a", 2'000'000)),
         1000,
         {"H.264/AVC", keep, "640 x 272", "25.00", keep, "AAC", "1953 Kbit/s", "2 (stereo)", "48,000 Hz",
          "0.00 MB", "90 min  sec", keep}},
        {"a length past 32 bits", Film(std::nullopt, std::nullopt, 3e9), std::nullopt, {}},
        {"the longest length 32 bits hold",
         Film(std::nullopt, std::nullopt, 2'147'483'647.0),
         std::nullopt,
         {keep, keep, keep, keep, keep, keep, keep, keep, keep, keep, "35791394 min 7 sec", keep}},
        {"half a second more rounds past 32 bits",
         Film(std::nullopt, std::nullopt, 2'147'483'647.5),
         std::nullopt,
         {}},
        {"the audio takes the file's whole rate",
         Film(Video("avc1"), Audio("mp4a", 8'000), 1),
         1000,
         {"H.264/AVC", keep, "640 x 272", "25.00", keep, "AAC", "8 Kbit/s", "2 (stereo)", "48,000 Hz",
          "0.00 MB", " min 1 sec", keep}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelUpdate update;
        PanelInput input = PanelBench::Input(c.format);
        WriteContainerRows(c.film, ComputeMovieFacts(MovieFileKind::Mp4, c.film, c.length), input, update);
        EXPECT_EQ(update.rows, c.rows);
        EXPECT_EQ(update.xvidPicture, c.film.video && c.film.video->fourcc == "XVID");
    }
}

TEST(ContainerRows, AudioStepsFollowTheSwitch) {
    PanelInput input = PanelBench::Input(NumberFormat::English(), false);
    PanelUpdate update;
    const ContainerInfo film = Film(std::nullopt, Audio("mp4a", 128'000));
    WriteContainerRows(film, ComputeMovieFacts(MovieFileKind::Mp4, film, std::nullopt), input, update);
    EXPECT_EQ(update.rows[6], "125 Kbit/s");
}

// A tag or a CodecID cannot make the line read as another name, nor cut it.
TEST(ContainerRows, DiscTextNeitherReordersNorBreaks) {
    const std::string rlo = "\xE2\x80\xAE";
    PanelUpdate update;
    const ContainerInfo film = Film(Video("V_" + rlo + "4pm"), Audio("A_X\n" + rlo + "3pm"));
    WriteContainerRows(film, ComputeMovieFacts(MovieFileKind::Mp4, film, std::nullopt),
                       PanelBench::Input(NumberFormat::English(), true), update);
    EXPECT_EQ(update.rows[0], "V_4pm");
    EXPECT_EQ(update.rows[5], "A_X 3pm");
    MovieTags tags;
    tags.title = "Trailer" + rlo + "exe.mkv\nrest";
    tags.author =
        "\xE2\x81\xA6"
        "Ann\r\nBee";
    // Left out before the line is cut: they take none of its characters.
    for (int i = 0; i < 30; ++i) tags.genre += "\xE2\x80\x8B";
    tags.genre += "Drama";
    WriteTagLines(tags, update);
    EXPECT_EQ(update.titleLine, "Trailerexe.mkv rest");
    EXPECT_EQ(update.genreLine, "Genre: Drama");
    EXPECT_EQ(update.authorLine, "Author: Ann Bee");
}

const std::string Mp4Head = std::string("\0\0\0\x18", 4) + "ftypisom" + std::string(12, '\0');
const std::string MatroskaHead = "\x1A\x45\xDF\xA3" + std::string(60, '\0');

struct DispatchCase {
    const char* name;
    std::string path;
    std::string bytes;
    MovieFileKind kind;
    bool titleWritten;
    int maxReads;
};

// A film by its name is read as one alone; any other name as today, then as a film.
TEST(RunPanel, FilmsByNameAndByContent) {
    const std::string avi = AviBytes({.info = {{"INAM", "Film"}}});
    const std::vector<DispatchCase> cases = {
        {"MP4", "D:\\film.mp4", Mp4Head, MovieFileKind::Mp4, true, 3},
        {"M4V in capitals", "D:\\FILM.M4V", Mp4Head, MovieFileKind::Mp4, true, 3},
        {"WebM", "D:\\film.webm", MatroskaHead, MovieFileKind::Matroska, true, 6},
        {"Matroska", "D:\\film.mkv", MatroskaHead, MovieFileKind::Matroska, true, 6},
        {"MP4 named .avi", "D:\\film.avi", Mp4Head, MovieFileKind::Mp4, true, 3 + 3},
        {"QuickTime", "D:\\film.Mov", Mp4Head, MovieFileKind::Mp4, true, 3},
        // a film's name: read as a film alone, whichever kind it is
        {"Matroska named .mov", "D:\\film.mov", MatroskaHead, MovieFileKind::Matroska, true, 6},
        {"AVI named .mov", "D:\\film.mov", avi, MovieFileKind::Other, false, 1},
        // No INFO search and no AVI read under a film's name: an AVI file there shows nothing.
        {"AVI named .mp4", "D:\\film.mp4", avi, MovieFileKind::Other, false, 1},
        {"AVI named .mp4.avi", "D:\\film.mp4.avi", avi, MovieFileKind::Avi, true, 3},
        {"named .mp4x", "D:\\film.mp4x", Mp4Head, MovieFileKind::Mp4, true, 3 + 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelBench bench;
        bench.files.add(c.path, c.bytes);
        const CountingFiles counting(bench.files);
        PanelInput input = PanelBench::Input();
        input.moviePath = c.path;
        const PanelUpdate update = bench.run(input, counting);
        EXPECT_EQ(update.kind, c.kind);
        EXPECT_EQ(update.titleLine.has_value(), c.titleWritten);
        EXPECT_LE(counting.counts().reads, c.maxReads);
        if (c.kind == MovieFileKind::Other) {
            EXPECT_EQ(update.rows, Rows{});
        }
        if (c.kind == MovieFileKind::Mp4 || c.kind == MovieFileKind::Matroska) {
            EXPECT_EQ(update.rows[9], "0.00 MB");
        }
    }
}

// An MP4 under an AVI name: its tag lines and record are its own, whatever the INFO search
// met in its bytes.
TEST(RunPanel, AFilmsTagsReplaceTheInfoTags) {
    const std::string info = "LIST" + std::string("\x14\0\0\0", 4) + "INFOIART" +
                             std::string("\x06\0\0\0", 4) + "Stray" + std::string(1, '\0');
    PanelBench bench;
    bench.tags.author = "Earlier";
    const PanelUpdate update = bench.runOn(Mp4Head + std::string(400 - Mp4Head.size(), '\0') + info);
    EXPECT_EQ(update.kind, MovieFileKind::Mp4);
    EXPECT_EQ(bench.tags, bench.container.tags);
    EXPECT_EQ(update.titleLine, "");
    EXPECT_EQ(update.authorLine, std::nullopt);
}

}  // namespace

}  // namespace discstart
