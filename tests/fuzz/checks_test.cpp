// The checks must reject wrong readings, or a fuzzer running them proves nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "bytes/byte_file.h"
#include "fuzz_checks.h"
#include "info/ogg_panel.h"
#include "info/panel.h"
#include "media/container.h"
#include "media/ogg/ogg_streams.h"
#include "media/riff/avi_header.h"
#include "media/riff/info_tags.h"
#include "support/ebml_bytes.h"
#include "support/iso_bytes.h"
#include "support/number_formats.h"
#include "support/riff_bytes.h"

namespace discstart {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Little-endian, `width` bytes.
void PutNumber(Bytes& bytes, std::size_t at, std::int64_t value, int width = 4) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

void PutText(Bytes& bytes, std::size_t at, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) bytes[at + i] = static_cast<std::uint8_t>(text[i]);
}

// A two-stream header with A = 56, S = 116, H = 56: codec at 112, audio format at 296.
Bytes TypicalAvi() {
    Bytes bytes(400, 0);
    PutText(bytes, 0, "RIFF");
    PutNumber(bytes, 4, 734003192);
    PutText(bytes, 8, "AVI ");
    PutNumber(bytes, 28, 56);
    PutNumber(bytes, 32, 40000);
    PutNumber(bytes, 48, 135000);
    PutNumber(bytes, 64, 640);
    PutNumber(bytes, 68, 272);
    PutNumber(bytes, 92, 116);
    PutText(bytes, 112, "XVID");
    PutNumber(bytes, 228, 56);
    PutNumber(bytes, 296, 85, 2);
    PutNumber(bytes, 298, 2, 2);
    PutNumber(bytes, 300, 48000);
    PutNumber(bytes, 304, 16000);
    return bytes;
}

// An INFO list at 400 holding a title and an author.
Bytes TaggedAvi() {
    Bytes bytes = TypicalAvi();
    bytes.resize(460, 0);
    PutText(bytes, 392, "LIST");
    PutNumber(bytes, 396, 4 + 16 + 16);
    PutText(bytes, 400, "INFOINAM");
    PutNumber(bytes, 408, 7);
    PutText(bytes, 412, "A Film");
    PutText(bytes, 420, "IART");
    PutNumber(bytes, 424, 5);
    PutText(bytes, 428, "Anna");
    return bytes;
}

Bytes TypicalOgm() {
    Bytes bytes(150, 0);
    PutText(bytes, 0, "OggS");
    PutText(bytes, 37, "XVID");
    PutNumber(bytes, 45, 400000);
    PutNumber(bytes, 73, 640);
    PutNumber(bytes, 77, 352);
    PutText(bytes, 85, "OggS");
    bytes[124] = 2;
    PutNumber(bytes, 125, 48000);
    PutNumber(bytes, 133, 128000);
    return bytes;
}

const std::string Path = "film.avi";

MemoryFiles FilesWith(const Bytes& bytes) {
    MemoryFiles files;
    files.add(Path, bytes);
    return files;
}

TEST(Utf8Check, TellsValidFromInvalid) {
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"Author: Anna", true},
        {"K\xC3\xB6nig", true},       // ö
        {"\xE2\x82\xAC", true},       // €
        {"\xF0\x9F\x8E\xAC", true},   // a four-byte character
        {"Caf\xE9", false},           // Windows-1252 é left undecoded
        {"\xC3", false},              // cut inside a character
        {"\x80", false},              // a lone continuation byte
        {"\xC0\xAF", false},          // overlong
        {"\xE0\x80\xAF", false},      // overlong
        {"\xED\xA0\x80", false},      // a UTF-16 surrogate
        {"\xF4\x90\x80\x80", false},  // past U+10FFFF
        {"\xE2\x82", false},          // cut short
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
    EXPECT_EQ(CountCharacters("K\xC3\xB6nig \xE2\x82\xAC"), 7u);
}

TEST(FixedTextCheck, AcceptsOnlyTheRoundedValueInTheFormat) {
    struct Case {
        std::string text;
        double value;
        int decimals;
        NumberFormat format;
        bool accepted;
    };
    const auto en = NumberFormat::English();
    const auto de = GermanNumbers();
    const Case cases[] = {
        {"25.000", 25.0, 3, en, true},
        {"25,000", 25.0, 3, de, true},
        {"1,234.568", 1234.5678, 3, en, true},
        {"1.234,568", 1234.5678, 3, de, true},
        {"1234.568", 1234.5678, 3, en, false},   // grouping missing
        {"12,34.568", 1234.5678, 3, en, false},  // grouped in the wrong place
        {"1,234.567", 1234.5678, 3, en, false},  // cut instead of rounded
        {"25.00", 25.0, 3, en, false},           // too few decimals
        {"25,000", 25.0, 3, en, false},          // German separator in an English format
        {"0.063", 0.0625, 3, en, true},          // a tie may go either way
        {"0.062", 0.0625, 3, en, true},
        {"-23.976", -23.976, 3, en, true},
        {"-0.00", -0.001, 2, en, false},  // no sign on a value that rounds to zero
        {"0.00", -0.001, 2, en, true},
        {"025.000", 25.0, 3, en, false},
        {"", 0.0, 2, en, false},
        {"2,147,483.65", 2147483.647, 2, en, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsFixedText(c.text, c.value, c.decimals, c.format), c.accepted)
            << c.text << " for " << c.value;
    }
}

TEST(AviHeaderCheck, PassesTheRealReadingAndCatchesWrongFields) {
    const Bytes file = TypicalAvi();
    const auto files = FilesWith(file);
    const AviHeaderInfo before;
    AviHeaderInfo read;
    const MovieFileKind kind = ReadAviHeader(Path, read, files);
    ASSERT_EQ(kind, MovieFileKind::Avi);
    EXPECT_EQ(AviHeaderProblems(file, before, kind, read), Problems{});

    struct Fault {
        const char* name;
        std::function<void(MovieFileKind&, AviHeaderInfo&)> apply;
    };
    const Fault faults[] = {
        {"kind", [](MovieFileKind& k, AviHeaderInfo&) { k = MovieFileKind::Other; }},
        {"riffSize", [](MovieFileKind&, AviHeaderInfo& i) { i.riffSize += 1; }},
        {"codec of the stream type", [](MovieFileKind&, AviHeaderInfo& i) { i.videoCodec = "vids"; }},
        {"codec cut short", [](MovieFileKind&, AviHeaderInfo& i) { i.videoCodec = "XVI"; }},
        {"format tag without H", [](MovieFileKind&, AviHeaderInfo& i) { i.audioFormatTag = 0; }},
        {"channels", [](MovieFileKind&, AviHeaderInfo& i) { i.audioChannels = 1; }},
        {"bytes per second", [](MovieFileKind&, AviHeaderInfo& i) { i.audioBytesPerSec = 16001; }},
        {"stream data position", [](MovieFileKind&, AviHeaderInfo& i) { i.videoStreamDataPos = 0; }},
    };
    for (const auto& fault : faults) {
        MovieFileKind wrongKind = kind;
        AviHeaderInfo wrong = read;
        fault.apply(wrongKind, wrong);
        EXPECT_FALSE(AviHeaderProblems(file, before, wrongKind, wrong).empty()) << fault.name;
    }
}

TEST(AviHeaderCheck, CatchesAnOggReadingThatTouchesTheNumbers) {
    const Bytes file = TypicalOgm();
    AviHeaderInfo before;
    before.width = 99;
    AviHeaderInfo after = before;
    after.signature = "OggS";
    EXPECT_EQ(AviHeaderProblems(file, before, MovieFileKind::OggMedia, after), Problems{});
    after.width = 0;
    EXPECT_FALSE(AviHeaderProblems(file, before, MovieFileKind::OggMedia, after).empty());
}

TEST(InfoTagsCheck, PassesTheRealReadingAndCatchesWrongTags) {
    const Bytes file = TaggedAvi();
    MovieTags read;
    DivX::ReadInfoTags(Path, read, FilesWith(file));
    ASSERT_EQ(read.author, "Anna");
    EXPECT_EQ(InfoTagsProblems(file, {}, read), Problems{});

    struct Fault {
        const char* name;
        std::function<void(MovieTags&)> apply;
    };
    const Fault faults[] = {
        {"title keeps its zero byte", [](MovieTags& t) { t.title += '\0'; }},
        {"title cut", [](MovieTags& t) { t.title = "A Fil"; }},
        {"author in the title", [](MovieTags& t) { t.title = t.author; }},
        {"genre made up", [](MovieTags& t) { t.genre = "Drama"; }},
        {"old tags kept", [](MovieTags& t) { t = {"old", "old", "old", "", "", "", "old"}; }},
    };
    for (const auto& fault : faults) {
        MovieTags wrong = read;
        fault.apply(wrong);
        const MovieTags before = {"old", "old", "old", "", "", "", "old"};
        EXPECT_FALSE(InfoTagsProblems(file, before, wrong).empty()) << fault.name;
    }
}

TEST(InfoTagsCheck, CatchesTagsLeftWithoutAList) {
    const Bytes file = TypicalAvi();
    const MovieTags stale = {"stale", "", "", "", "", "", ""};
    EXPECT_FALSE(InfoTagsProblems(file, stale, stale).empty());
    EXPECT_EQ(InfoTagsProblems(file, stale, MovieTags{}), Problems{});
}

TEST(OggInfoCheck, PassesTheRealReadingAndCatchesWrongTexts) {
    const Bytes file = TypicalOgm();
    for (const auto& format : {NumberFormat::English(), GermanNumbers()}) {
        OggStreamInfo read;
        Ogg::ReadOggInfo(Path, format, read, FilesWith(file));
        EXPECT_EQ(OggInfoProblems(file, format, {}, read), Problems{});
    }

    struct Fault {
        const char* name;
        std::function<void(OggStreamInfo&)> apply;
    };
    const Fault faults[] = {
        {"two decimals for the frame rate", [](OggStreamInfo& i) { i.frameRateText = "25.00"; }},
        {"German separator", [](OggStreamInfo& i) { i.frameRateText = "25,000"; }},
        {"codec", [](OggStreamInfo& i) { i.videoCodec = "XVI"; }},
        {"width", [](OggStreamInfo& i) { i.widthText = "+640"; }},
        {"channels", [](OggStreamInfo& i) { i.channelsText = "Stereo"; }},
        {"grouped sample rate", [](OggStreamInfo& i) { i.sampleRateText = "48,000 Hz"; }},
        {"bitrate without decimals", [](OggStreamInfo& i) { i.bitrateText = "128"; }},
    };
    OggStreamInfo read;
    Ogg::ReadOggInfo(Path, NumberFormat::English(), read, FilesWith(file));
    for (const auto& fault : faults) {
        OggStreamInfo wrong = read;
        fault.apply(wrong);
        EXPECT_FALSE(OggInfoProblems(file, NumberFormat::English(), {}, wrong).empty()) << fault.name;
    }
}

TEST(OggInfoCheck, CatchesAReadingThatGoesOnPastATimeUnitOfZero) {
    Bytes file = TypicalOgm();
    PutNumber(file, 45, 0);
    OggStreamInfo after;
    after.videoCodec = "XVID";
    EXPECT_EQ(OggInfoProblems(file, NumberFormat::English(), {}, after), Problems{});
    after.widthText = "640";
    EXPECT_FALSE(OggInfoProblems(file, NumberFormat::English(), {}, after).empty());
}

struct PanelRun {
    MovieTags tags;
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    PanelUpdate update;

    Problems problems(const Bytes& file, const PanelUpdate& update) const {
        return PanelUpdateProblems(file, NumberFormat::English(), {tags, avi, ogg}, update);
    }
};

PanelRun RunOn(const Bytes& file) {
    PanelRun run;
    const PanelInput input{Path, {}, true, NumberFormat::English()};
    run.update = RunPanel(input, {run.tags, run.avi, run.ogg}, FilesWith(file));
    return run;
}

struct PanelFault {
    const char* name;
    std::function<void(PanelUpdate&)> apply;
};

void ExpectFaultsCaught(const Bytes& file, std::initializer_list<PanelFault> faults) {
    const PanelRun run = RunOn(file);
    ASSERT_EQ(run.update.kind, ExpectedKind(file));
    EXPECT_EQ(run.problems(file, run.update), Problems{});
    for (const auto& fault : faults) {
        PanelUpdate wrong = run.update;
        fault.apply(wrong);
        EXPECT_FALSE(run.problems(file, wrong).empty()) << fault.name;
    }
}

TEST(PanelCheck, CatchesWrongAviWrites) {
    ExpectFaultsCaught(
        TaggedAvi(),
        {
            {"title past 26 characters", [](PanelUpdate& u) { u.titleLine = std::string(27, 'T'); }},
            {"title not UTF-8", [](PanelUpdate& u) { u.titleLine = "Caf\xE9"; }},
            {"title not written", [](PanelUpdate& u) { u.titleLine.reset(); }},
            {"author past 28 characters",
             [](PanelUpdate& u) { u.authorLine = "Author: " + std::string(21, 'A'); }},
            {"author without prefix", [](PanelUpdate& u) { u.authorLine = "Anna"; }},
            {"copyright for an empty tag", [](PanelUpdate& u) { u.copyrightLine = "Copyright: "; }},
            {"blank row written", [](PanelUpdate& u) { u.rows[4] = ""; }},
            {"last row written", [](PanelUpdate& u) { u.rows[11] = "x"; }},
            {"codec row missing", [](PanelUpdate& u) { u.rows[0].reset(); }},
            {"picture size without blanks", [](PanelUpdate& u) { u.rows[2] = "640x272"; }},
            {"sample rate ungrouped", [](PanelUpdate& u) { u.rows[8] = "48000 Hz"; }},
            {"file size in the German format", [](PanelUpdate& u) { u.rows[9] = "700,00 MB"; }},
            {"Xvid picture not shown", [](PanelUpdate& u) { u.xvidPicture = false; }},
            {"kind", [](PanelUpdate& u) { u.kind = MovieFileKind::OggMedia; }},
        });
}

TEST(PanelCheck, CatchesWrongOggWrites) {
    ExpectFaultsCaught(TypicalOgm(),
                       {
                           {"title kept", [](PanelUpdate& u) { u.titleLine.reset(); }},
                           {"audio codec", [](PanelUpdate& u) { u.rows[5] = "Vorbis"; }},
                           {"file size without its blank", [](PanelUpdate& u) { u.rows[9] = "0.00 MB"; }},
                           {"sample rate regrouped", [](PanelUpdate& u) { u.rows[8] = "48,000 Hz"; }},
                           {"Xvid picture not shown", [](PanelUpdate& u) { u.xvidPicture = false; }},
                       });
}

TEST(PanelCheck, CatchesRowsWrittenForAnUnknownFile) {
    Bytes mpeg(64, 0);
    PutText(mpeg, 0, std::string("\0\0\x01\xBA", 4));
    ExpectFaultsCaught(mpeg, {
                                 {"codec row", [](PanelUpdate& u) { u.rows[0] = "MPEG"; }},
                                 {"picture", [](PanelUpdate& u) { u.xvidPicture = true; }},
                             });
}

TEST(IsoMediaCheck, PassesTheRealReadingAndCatchesAbsurdFacts) {
    isobmff::MovieRecipe movie;
    movie.udta = isobmff::ItemList({{"\251nam", "Ein Film"}});
    const std::string built = isobmff::MoovFirst(movie);
    const Bytes file(built.begin(), built.end());
    using Reading = std::pair<MovieFileKind, ContainerInfo>;
    Reading read;
    read.first = ReadContainer(Path, read.second, FilesWith(file));
    ASSERT_TRUE(read.second.video && read.second.audio && read.second.tags.title == "Ein Film");
    EXPECT_EQ(IsoMediaProblems(file, {}, read), Problems{});
    EXPECT_EQ(CheckIsoMedia(file), Problems{});

    struct Fault {
        const char* name;
        std::function<void(Reading&)> apply;
    };
    const Fault faults[] = {
        {"title not in the file", [](Reading& r) { r.second.tags.title += "!"; }},
        {"codec not in the file", [](Reading& r) { r.second.video->codecId = "h264"; }},
        {"negative length", [](Reading& r) { r.second.durationSeconds = -1; }},
        {"endless frame rate", [](Reading& r) { r.second.video->framesPerSecond = 1 / 0.0; }},
        {"channels of a picture", [](Reading& r) { r.second.video->channels = 2; }},
        {"size of a sound", [](Reading& r) { r.second.audio->width = 640; }},
        {"a Matroska field", [](Reading& r) { r.second.audio->fourcc = "XVID"; }},
        {"another kind, yet described", [](Reading& r) { r.first = MovieFileKind::Other; }},
    };
    for (const auto& fault : faults) {
        Reading wrong = read;
        fault.apply(wrong);
        EXPECT_FALSE(IsoMediaProblems(file, {}, wrong).empty()) << fault.name;
    }
}

TEST(MatroskaCheck, PassesTheRealReadingAndCatchesMadeUpFacts) {
    const std::string film = ebml::BuildMatroska({}).whole();
    const Bytes file(film.begin(), film.end());
    ASSERT_EQ(CheckMatroska(file), Problems{});
    ContainerInfo read;
    MemoryFiles files = FilesWith(file);
    const auto movie = files.open(Path);
    ReadMatroska(*movie, ByteWindow::Read(*movie, 0, ContainerHeadBlock), read);
    ASSERT_TRUE(read.video && read.audio);
    const std::vector<std::pair<const char*, std::function<void(ContainerInfo&)>>> faults = {
        {"a title the file lacks", [](ContainerInfo& i) { i.tags.title = "Made Up"; }},
        {"a codec the file lacks", [](ContainerInfo& i) { i.audio->codecId = "A_DTS"; }},
        {"a duration that is no number", [](ContainerInfo& i) { i.durationSeconds = std::nan(""); }},
        {"a negative duration", [](ContainerInfo& i) { i.durationSeconds = -1; }},
        {"a three-byte code", [](ContainerInfo& i) { i.video->fourcc = "XVI"; }},
        {"an audio track with a picture", [](ContainerInfo& i) { i.audio->width = 640; }},
        {"a video track with sound", [](ContainerInfo& i) { i.video->channels = 2; }},
        {"a brand of its own", [](ContainerInfo& i) { i.brand = "mkv"; }},
        {"facts without a brand", [](ContainerInfo& i) { i.brand.clear(); }},
        {"a comment", [](ContainerInfo& i) { i.tags.comment = "film"; }},
    };
    for (const auto& [name, spoil] : faults) {
        ContainerInfo wrong = read;
        spoil(wrong);
        EXPECT_FALSE(MatroskaProblems(file, wrong).empty()) << name;
    }
}

ContainerInfo Film(std::uint32_t width, std::uint32_t height, double fps, std::uint32_t channels,
                   std::uint32_t rate, std::uint64_t bitrate, double seconds) {
    ContainerInfo info;
    info.video = TrackFacts{};
    info.video->width = width;
    info.video->height = height;
    info.video->framesPerSecond = fps;
    info.audio = TrackFacts{};
    info.audio->channels = channels;
    info.audio->sampleRate = rate;
    info.audio->bitrate = bitrate;
    info.durationSeconds = seconds;
    return info;
}

// The check holds a reading to the bounds KeepPlausible keeps: each at its value passes, one past
// it is caught, and what KeepPlausible leaves of any film passes.
TEST(PlausibleCheck, AgreesWithTheBoundsAtTheirValueAndOnePast) {
    const double week = 7.0 * 24 * 3600;
    const std::vector<std::pair<const char*, ContainerInfo>> cases = {
        {"at the bounds", Film(65535, 65535, 1000, 255, 1000000, 1000000000, week)},
        {"lowest", Film(1, 1, 0.001, 1, 1, 1, 0.001)},
        {"nothing stored", Film(0, 0, 0, 0, 0, 0, 0)},
        {"width", Film(65536, 480, 25, 2, 48000, 0, 10)},
        {"height", Film(640, 65536, 25, 2, 48000, 0, 10)},
        {"half a size", Film(0, 480, 25, 2, 48000, 0, 10)},
        {"fps", Film(640, 480, 1000.001, 2, 48000, 0, 10)},
        {"fps not a number", Film(640, 480, std::nan(""), 2, 48000, 0, 10)},
        {"negative fps", Film(640, 480, -25, 2, 48000, 0, 10)},
        {"channels", Film(640, 480, 25, 256, 48000, 0, 10)},
        {"rate", Film(640, 480, 25, 2, 1000001, 0, 10)},
        {"bitrate", Film(640, 480, 25, 2, 48000, 1000000001, 10)},
        {"length", Film(640, 480, 25, 2, 48000, 0, week * 1.0000001)},
        {"endless length", Film(640, 480, 25, 2, 48000, 0, 1 / 0.0)},
    };
    for (const auto& [name, info] : cases) {
        SCOPED_TRACE(name);
        ContainerInfo kept = info;
        const bool refused = !KeepPlausible(kept, MovieFileKind::Matroska).empty();
        EXPECT_EQ(PlausibleProblems(info).empty(), !refused);
        EXPECT_EQ(PlausibleProblems(kept), Problems{});
    }
}

TEST(OggStreamsCheck, PassesTheRealReadingAndCatchesWrongTracks) {
    using media::OggPage;
    const std::string built = OggPage(2, 1, {media::VorbisIdentification()}) + OggPage(4, 1, {"x"}, 1, 96000);
    const Bytes file(built.begin(), built.end());
    ASSERT_EQ(CheckOggInfo(file), Problems{});
    const auto files = FilesWith(file);
    const auto movie = files.open(Path);
    const ByteWindow head = ByteWindow::Read(*movie, 0, Ogg::HeadBlock);
    ASSERT_TRUE(Ogg::IsStandardOgg(head));
    ContainerInfo read;
    Ogg::ReadOggStreams(*movie, head, std::int64_t(file.size()), read);
    ASSERT_TRUE(read.audio && read.durationSeconds == 2.0);
    const std::vector<std::pair<const char*, std::function<void(ContainerInfo&)>>> faults = {
        {"a codec no Ogg stream has", [](ContainerInfo& i) { i.audio->codecId = "A_AAC"; }},
        {"sound with a picture", [](ContainerInfo& i) { i.audio->width = 640; }},
        {"a rate past its bound", [](ContainerInfo& i) { i.audio->sampleRate = 1000001; }},
        {"a video track of another codec", [](ContainerInfo& i) { i.video = TrackFacts{"VP80"}; }},
        {"a brand of its own", [](ContainerInfo& i) { i.brand = "oga"; }},
    };
    for (const auto& [name, spoil] : faults) {
        ContainerInfo wrong = read;
        spoil(wrong);
        EXPECT_FALSE(OggStreamsProblems(wrong).empty()) << name;
    }
}

}  // namespace

}  // namespace discstart
