#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "panel_fixture.h"
#include "support/number_formats.h"

namespace discstart {

namespace {

using Rows = std::array<std::optional<std::string>, PanelRowCount>;
const std::nullopt_t keep = std::nullopt;

// Memory files that report another length, as a 700 MB movie would.
class SizedFiles : public FileOpener {
  public:
    SizedFiles(const FileOpener& inner, std::optional<std::int64_t> length)
        : inner_(inner), length_(length) {}
    std::unique_ptr<ByteFile> open(const std::string& path) const override { return inner_.open(path); }
    std::optional<std::int64_t> length(const std::string&) const override { return length_; }

  private:
    const FileOpener& inner_;
    std::optional<std::int64_t> length_;
};

struct WorkedCase {
    NumberFormat format;
    bool steps;
    Rows rows;
};

TEST(RunPanel, WorkedAviExample) {
    const std::vector<WorkedCase> cases = {
        {NumberFormat::English(),
         true,
         {"Xvid MPEG-4", "937 Kbit/s", "640 x 272", "25.00", keep, "MPEG-1 Layer 3", "128 Kbit/s",
          "2 (stereo)", "48,000 Hz", "700.00 MB", "90 min  sec", keep}},
        {GermanNumbers(),
         true,
         {"Xvid MPEG-4", "937 Kbit/s", "640 x 272", "25,00", keep, "MPEG-1 Layer 3", "128 Kbit/s",
          "2 (stereo)", "48.000 Hz", "700,00 MB", "90 min  sec", keep}},
        {NumberFormat::English(),
         false,
         {"Xvid MPEG-4", "937 Kbit/s", "640 x 272", "25.00", keep, "MPEG-1 Layer 3", "125 Kbit/s",
          "2 (stereo)", "48,000 Hz", "700.00 MB", "90 min  sec", keep}},
    };
    for (const auto& c : cases) {
        PanelBench bench;
        const PanelUpdate update = bench.runOn(AviBytes({}), PanelBench::Input(c.format, c.steps));
        EXPECT_EQ(update.kind, MovieFileKind::Avi);
        EXPECT_EQ(update.rows, c.rows) << "decimal '" << c.format.decimalSeparator << "' steps " << c.steps;
        EXPECT_TRUE(update.xvidPicture);
        EXPECT_EQ(update.carry, (PanelCarry{25.0, 5400}));
        EXPECT_EQ(update.titleLine, "");  // no INFO list: the title is emptied
    }
}

struct KindCase {
    std::string name;
    std::string path;
    std::optional<std::string> bytes;  // nothing: no such file
    MovieFileKind kind;
    std::set<int> writtenRows;
    bool titleWritten;
};

TEST(RunPanel, RowsWrittenForEachKind) {
    const std::vector<KindCase> cases = {
        {"avi",
         PanelBench::MoviePath,
         AviBytes({}),
         MovieFileKind::Avi,
         {0, 1, 2, 3, 5, 6, 7, 8, 9, 10},
         true},
        {"ogg", PanelBench::MoviePath, OggBytes({}), MovieFileKind::OggMedia, {0, 2, 3, 5, 6, 7, 8, 9}, true},
        {"mpeg",
         PanelBench::MoviePath,
         std::string("\x00\x00\x01\xBA", 4) + std::string(400, '\x44'),
         MovieFileKind::Other,
         {},
         true},
        {"missing", PanelBench::MoviePath, std::nullopt, MovieFileKind::Other, {}, true},
        {"empty path", "", AviBytes({}), MovieFileKind::Other, {}, false},
    };
    for (const auto& c : cases) {
        PanelBench bench;
        if (c.bytes) bench.files.add(c.path, *c.bytes);
        PanelInput input = PanelBench::Input();
        input.moviePath = c.path;
        const PanelUpdate update = bench.run(input);
        EXPECT_EQ(update.kind, c.kind) << c.name;
        for (int row = 0; row < PanelRowCount; ++row) {
            EXPECT_EQ(update.rows[row].has_value(), c.writtenRows.count(row) == 1)
                << c.name << " row " << row;
        }
        EXPECT_EQ(update.titleLine.has_value(), c.titleWritten) << c.name;
    }
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

struct TagCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> info;
    std::optional<std::string> title;
    std::optional<std::string> author;
    std::optional<std::string> copyright;
    std::optional<std::string> genre;
};

TEST(RunPanel, TagLinesAreDecodedAndCut) {
    const std::string eacute = "\xC3\xA9";
    const std::vector<TagCase> cases = {
        {"plain",
         {{"INAM", "Film"}, {"IART", "Ann Smith"}, {"ICOP", "2003"}, {"IGNR", "Drama"}},
         "Film",
         "Author: Ann Smith",
         "Copyright: 2003",
         "Genre: Drama"},
        {"title but no author", {{"INAM", "Film"}}, "Film", keep, keep, keep},
        {"long lines",
         {{"INAM", "abcdefghijklmnopqrstuvwxyz1234"},
          {"IART", "ABCDEFGHIJKLMNOPQRSTUVWXY"},
          {"ICOP", "(c) 2003 Some Studio Inc."},
          {"IGNR", "Science Fiction and Fantasy"}},
         "abcdefghijklmnopqrstuvwxyz",
         "Author: ABCDEFGHIJKLMNOPQRST",
         "Copyright: (c) 2003 Some Stu",
         "Genre: Science Fiction and F"},
        {"utf-8 cut by characters",
         {{"INAM", "Am" + eacute + "lie " + Repeat(eacute, 21)}, {"IART", Repeat(eacute, 22)}},
         "Am" + eacute + "lie " + Repeat(eacute, 19),
         "Author: " + Repeat(eacute, 20),
         keep,
         keep},
        {"four-byte characters",
         {{"INAM", Repeat("\xF0\x9F\x8E\xAC", 30)}},
         Repeat("\xF0\x9F\x8E\xAC", 26),
         keep,
         keep,
         keep},
        {"windows-1252 bytes",
         {{"INAM", "Caf\xE9 \x93Noir\x94"}, {"IGNR", "Cr\xE8me"}},
         "Caf" + eacute + " \xE2\x80\x9CNoir\xE2\x80\x9D",
         keep,
         keep,
         "Genre: Cr\xC3\xA8me"},
        {"zero byte inside", {{"INAM", std::string("Film\0Extra", 10)}}, "Film", keep, keep, keep},
    };
    for (const auto& c : cases) {
        PanelBench bench;
        const PanelUpdate update = bench.runOn(AviBytes({.info = c.info}));
        EXPECT_EQ(update.titleLine, c.title) << c.name;
        EXPECT_EQ(update.authorLine, c.author) << c.name;
        EXPECT_EQ(update.copyrightLine, c.copyright) << c.name;
        EXPECT_EQ(update.genreLine, c.genre) << c.name;
    }
}

struct TimingCase {
    std::string name;
    std::int32_t microSecPerFrame;
    std::int32_t totalFrames;
    PanelCarry before;
    PanelCarry after;
    std::optional<std::string> videoBitrate;  // row 1
    std::optional<std::string> frameRate;     // row 3
    std::optional<std::string> length;        // row 10
};

TEST(RunPanel, TimingRowsAndCarriedValues) {
    const PanelCarry earlier{12.5, 5400};
    const std::vector<TimingCase> cases = {
        {"worked", 40'000, 135'000, {}, {25.0, 5400}, "937 Kbit/s", "25.00", "90 min  sec"},
        {"minutes and seconds", 40'000, 135'125, {}, {25.0, 5405}, "936 Kbit/s", "25.00", "90 min 5 sec"},
        {"under a minute", 40'000, 1'125, {}, {25.0, 45}, "127306 Kbit/s", "25.00", " min 45 sec"},
        {"no frames", 40'000, 0, earlier, {25.0, 0}, keep, "25.00", " min  sec"},
        {"under half a second", 40'000, 12, earlier, {25.0, 0}, keep, "25.00", " min  sec"},
        {"just over half a second", 40'000, 13, {}, {25.0, 1}, "5734275 Kbit/s", "25.00", " min 1 sec"},
        {"half to even down", 500'000, 5, {}, {2.0, 2}, "2867075 Kbit/s", "2.00", " min 2 sec"},
        {"half to even up", 500'000, 7, {}, {2.0, 4}, "1433475 Kbit/s", "2.00", " min 4 sec"},
        {"film rate", 41'708, 100, {}, {1'000'000.0 / 41'708, 4}, "1433475 Kbit/s", "23.98", " min 4 sec"},
        {"ntsc rate", 33'367, 0, {}, {1'000'000.0 / 33'367, 0}, keep, "29.97", " min  sec"},
        {"no frame duration", 0, 135'000, earlier, earlier, keep, keep, keep},
        {"length past 32 bits",
         2'000'000,
         2'000'000'000,
         earlier,
         {0.5, 5400},
         "937 Kbit/s",
         "0.50",
         "90 min  sec"},
        {"negative duration", -40'000, 135'000, {}, {-25.0, -5400}, "-1187 Kbit/s", "-25.00", "-90 min  sec"},
    };
    for (const auto& c : cases) {
        PanelBench bench;
        const PanelUpdate update =
            bench.runOn(AviBytes({.microSecPerFrame = c.microSecPerFrame, .totalFrames = c.totalFrames}),
                        PanelBench::Input(NumberFormat::English(), true, c.before));
        EXPECT_EQ(update.carry, c.after) << c.name;
        EXPECT_EQ(update.rows[1], c.videoBitrate) << c.name;
        EXPECT_EQ(update.rows[3], c.frameRate) << c.name;
        EXPECT_EQ(update.rows[10], c.length) << c.name;
        // The rows that need no timing are written all the same.
        EXPECT_EQ(update.rows[9], "700.00 MB") << c.name;
        EXPECT_EQ(update.rows[6], "128 Kbit/s") << c.name;
    }
}

struct CodecCase {
    bool ogg;
    std::string code;
    std::string row;
    bool picture;
};

TEST(RunPanel, VideoCodecRowAndXvidPicture) {
    const std::vector<CodecCase> cases = {
        {false, "XVID", "Xvid MPEG-4", true},
        {false, "xvid", "Xvid MPEG-4", true},
        {false, "XviD", "XviD", false},
        {false, "DX50", "DX50", false},
        {false, "dx50", "DivX 5", false},
        {false, std::string("XV\0D", 4), "XV", false},
        {false, "\xE9t\xE9s", "\xC3\xA9t\xC3\xA9s", false},
        // Ogg media shows the code as it stands; only the two exact spellings bring the picture.
        {true, "XVID", "XVID", true},
        {true, "xvid", "xvid", true},
        {true, "XviD", "XviD", false},
        {true, "DIVX", "DIVX", false},
    };
    for (const auto& c : cases) {
        PanelBench bench;
        const PanelUpdate update =
            bench.runOn(c.ogg ? OggBytes({.videoCodec = c.code}) : AviBytes({.videoCodec = c.code}));
        EXPECT_EQ(update.rows[0], c.row) << c.ogg << " " << c.code;
        EXPECT_EQ(update.xvidPicture, c.picture) << c.ogg << " " << c.code;
    }
}

struct OggCase {
    std::string name;
    OggFields fields;
    NumberFormat format;
    std::optional<std::int64_t> length;
    Rows rows;
};

TEST(RunPanel, OggMediaRows) {
    OggFields noTiming;
    noTiming.timeUnit = 0;  // the reader stops before the later fields
    OggFields surround;
    surround.channels = 5;
    surround.nominalBitrate = 0;
    surround.timeUnit = 417'083;
    // The row rounds the two-decimal kilobit text again: 127.495 reads 127.50, 127.494 reads 127.49.
    const auto nominal = [](std::int32_t bits) {
        OggFields fields;
        fields.nominalBitrate = bits;
        return fields;
    };
    const Rows rounded = {"XVID",       keep,         "640 x 352", "25.000", keep, "Ogg Vorbis",
                          "128 Kbit/s", "2 (stereo)", "48000 Hz",  keep,     keep, keep};
    Rows cut = rounded;
    cut[6] = "127 Kbit/s";
    const std::vector<OggCase> cases = {
        {"half a kilobit after the first rounding", nominal(127'495), NumberFormat::English(), std::nullopt,
         rounded},
        {"just under it", nominal(127'494), NumberFormat::English(), std::nullopt, cut},
        {"english",
         {},
         NumberFormat::English(),
         734'003'200,
         {"XVID", keep, "640 x 352", "25.000", keep, "Ogg Vorbis", "128 Kbit/s", "2 (stereo)", "48000 Hz",
          " 700.00 MB", keep, keep}},
        {"german",
         {},
         GermanNumbers(),
         734'003'200,
         {"XVID", keep, "640 x 352", "25,000", keep, "Ogg Vorbis", "128 Kbit/s", "2 (stereo)", "48000 Hz",
          " 700,00 MB", keep, keep}},
        {"past 2 GiB",
         surround,
         NumberFormat::English(),
         4'294'967'296LL,
         {"XVID", keep, "640 x 352", "23.976", keep, "Ogg Vorbis", " Kbit/s", "Surround 5ch", "48000 Hz",
          " 4096.00 MB", keep, keep}},
        {"no length",
         {},
         NumberFormat::English(),
         std::nullopt,
         {"XVID", keep, "640 x 352", "25.000", keep, "Ogg Vorbis", "128 Kbit/s", "2 (stereo)", "48000 Hz",
          keep, keep, keep}},
        {"reader stopped early",
         noTiming,
         NumberFormat::English(),
         1'048'576,
         {"XVID", keep, " x ", "", keep, "Ogg Vorbis", keep, "", "", " 1.00 MB", keep, keep}},
    };
    for (const auto& c : cases) {
        PanelBench bench;
        bench.tags.author = "Kept";
        bench.files.add(PanelBench::MoviePath, OggBytes(c.fields));
        const SizedFiles sized(bench.files, c.length);
        const PanelUpdate update = bench.run(PanelBench::Input(c.format), sized);
        EXPECT_EQ(update.kind, MovieFileKind::OggMedia) << c.name;
        EXPECT_EQ(update.rows, c.rows) << c.name;
        EXPECT_EQ(update.titleLine, "") << c.name;
        // No INFO list in an Ogg file: the tag reader empties the tags, so no tag line is written.
        EXPECT_EQ(update.authorLine, keep) << c.name;
    }
}

TEST(RunPanel, UnreadableMovieKeepsTagsAndRows) {
    PanelBench bench;
    bench.tags.title = "Old title";
    bench.tags.author = "Old author";
    const PanelCarry earlier{25.0, 5400};
    const PanelUpdate update = bench.run(PanelBench::Input(NumberFormat::English(), true, earlier));
    EXPECT_EQ(update.kind, MovieFileKind::Other);
    EXPECT_EQ(update.titleLine, "Old title");
    EXPECT_EQ(update.authorLine, "Author: Old author");
    EXPECT_EQ(update.copyrightLine, keep);
    EXPECT_EQ(update.rows, Rows{});
    EXPECT_EQ(update.carry, earlier);
}

TEST(RunPanel, SecondRunWritesTheSameTexts) {
    for (const std::string& bytes : {AviBytes({}), OggBytes({})}) {
        PanelBench bench;
        const PanelUpdate first = bench.runOn(bytes);
        PanelUpdate second = bench.run(PanelBench::Input(NumberFormat::English(), true, first.carry));
        EXPECT_EQ(second, first);
    }
}

}  // namespace

}  // namespace discstart
