#include <initializer_list>

#include <algorithm>

#include "bytes/byte_window.h"
#include "check_support.h"
#include "info/panel.h"
#include "media/container.h"
#include "media/ogg/ogg_media.h"
#include "media/ogg/ogg_streams.h"

namespace discstart {

namespace {

// Tags, AVI header and the Ogg reader's two opens, each a read or two; a file longer than its
// first RIFF chunk one read of the header list more.
constexpr ReadLimits PanelLimits{4, 8, 16384};
// An Ogg file opened once: the tags and AVI reads, its first block, and for a standard Ogg file
// one read at its end.
constexpr ReadLimits OggPanelLimits{1, 4, 16384 + Ogg::HeadBlock + Ogg::TailBlock};
constexpr ReadLimits LongerAviPanelLimits{4, 9, 16384 + 65536};
// A file of no known kind: the tags and AVI header reads, then the first block a film would
// start with. A film under an AVI name: the same, and at most five more reads (the MP4 reader's
// 16 KiB each, the Matroska reader's 512 KiB in all).
constexpr ReadLimits OtherPanelLimits{3, 4, 16384 + ContainerHeadBlock};
constexpr ReadLimits FilmPanelLimits{3, 3 + 6, 16384 + ContainerHeadBlock + 512 * 1024};

// The kind the panel must take the file for: AVI or Ogg media by their signatures, else an MP4
// or Matroska film by its first block.
MovieFileKind PanelKind(FileBytes file) {
    const MovieFileKind signature = ExpectedKind(file);
    const std::size_t held = std::min(file.size(), ContainerHeadBlock);
    if (signature == MovieFileKind::OggMedia) {
        const std::size_t ogg = std::min(file.size(), Ogg::HeadBlock);
        const ByteWindow head(0, {file.begin(), file.begin() + std::ptrdiff_t(ogg)}, ogg < Ogg::HeadBlock);
        return Ogg::IsStandardOgg(head) ? MovieFileKind::Ogg : signature;
    }
    if (signature != MovieFileKind::Other) return signature;
    return ContainerKind(
        ByteWindow(0, {file.begin(), file.begin() + std::ptrdiff_t(held)}, held < ContainerHeadBlock));
}

const ReadLimits& LimitsFor(FileBytes file) {
    const MovieFileKind kind = PanelKind(file);
    if (kind == MovieFileKind::Mp4 || kind == MovieFileKind::Matroska) return FilmPanelLimits;
    if (kind == MovieFileKind::Other) return OtherPanelLimits;
    if (kind == MovieFileKind::Ogg || kind == MovieFileKind::OggMedia) return OggPanelLimits;
    const bool longer = file.size() > std::uint64_t{static_cast<std::uint32_t>(Int32At(file, 4))} + 8;
    return kind == MovieFileKind::Avi && longer ? LongerAviPanelLimits : PanelLimits;
}

struct PanelConfig {
    const char* name;
    NumberFormat format;
    bool steps;
};

// The records and carried values one window keeps from run to run.
struct WindowState {
    MovieTags tags;
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    ContainerInfo container;
    PanelCarry carry;
};

PanelUpdate RunOnce(const FileOpener& files, const PanelConfig& config, WindowState& state,
                    Problems& problems) {
    PanelUpdate update;
    RunGuarded("RunPanel", problems, [&] {
        const PanelInput input{MoviePath, state.carry, config.steps, config.format};
        update = RunPanel(input, {state.tags, state.avi, state.ogg, &state.container}, files);
        state.carry = update.carry;
    });
    return update;
}

std::string RowName(std::size_t row) {
    return "row " + std::to_string(row);
}

void ExpectTagLine(const char* name, const std::optional<std::string>& line, const std::string& tag,
                   const std::string& prefix, Problems& problems) {
    Expect(line.has_value() == !tag.empty(), problems,
           std::string(name) + (tag.empty() ? " was written for an empty tag" : " was not written"));
    if (!line) return;
    Expect(line->starts_with(prefix), problems,
           std::string(name) + " " + Quoted(*line) + " lacks its prefix");
    Expect(CountCharacters(*line) <= TagLineLength, problems,
           std::string(name) + " is too long: " + Quoted(*line));
}

void ExpectRows(const PanelUpdate& update, std::initializer_list<std::size_t> rows, Problems& problems) {
    for (const auto row : rows)
        Expect(update.rows[row].has_value(), problems, RowName(row) + " was not written");
}

// A row of the form prefix, number, suffix, the number as a "#0.00"-style pattern shows it.
void ExpectNumberRow(const PanelUpdate& update, std::size_t row, std::string_view prefix, double value,
                     int decimals, std::string_view suffix, const NumberFormat& format, Problems& problems) {
    if (!update.rows[row]) return;
    std::string_view text = *update.rows[row];
    const bool framed =
        text.starts_with(prefix) && text.ends_with(suffix) && text.size() >= prefix.size() + suffix.size();
    if (framed) text = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
    Expect(framed && IsFixedText(text, value, decimals, format), problems,
           RowName(row) + " " + Quoted(*update.rows[row]) + " does not show " + std::to_string(value));
}

// "##,## Hz" shows no digit at all for 0.
void ExpectSampleRateRow(const PanelUpdate& update, std::int32_t rate, const NumberFormat& format,
                         Problems& problems) {
    if (rate != 0) return ExpectNumberRow(update, 8, "", rate, 0, " Hz", format, problems);
    Expect(update.rows[8] == " Hz", problems, "row 8 for a sample rate of 0 is not a blank and Hz");
}

void ExpectAviRows(const NumberFormat& format, const AviHeaderInfo& avi, const PanelUpdate& update,
                   Problems& problems) {
    ExpectRows(update, {0, 2, 5, 6, 7, 8, 9}, problems);
    // Without a frame duration the timed rows are free to keep their texts.
    if (avi.microSecPerFrame != 0) ExpectRows(update, {3, 10}, problems);
    const std::string size = std::to_string(avi.width) + " x " + std::to_string(avi.height);
    Expect(update.rows[2] == size, problems, "row 2 is not " + Quoted(size));
    ExpectSampleRateRow(update, avi.audioSampleRate, format, problems);
    const NumberFormat ungrouped{format.decimalSeparator, ""};
    // The RIFF chunk's size, or for an OpenDML film the file's.
    const double bytes = avi.openDmlLength != 0 ? double(avi.openDmlLength) : double(avi.riffSize);
    ExpectNumberRow(update, 9, "", bytes / 1024.0 / 1024.0, 2, " MB", ungrouped, problems);
}

void ExpectOggRows(FileBytes file, const NumberFormat& format, const OggStreamInfo& ogg,
                   const PanelUpdate& update, Problems& problems) {
    ExpectRows(update, {0, 2, 3, 5, 7, 8, 9}, problems);
    Expect(update.titleLine == "", problems, "the title line of an Ogg media file is not emptied");
    const std::string size = ogg.widthText + " x " + ogg.heightText;
    Expect(update.rows[2] == size, problems, "row 2 is not " + Quoted(size));
    Expect(update.rows[3] == ogg.frameRateText, problems, "row 3 is not the frame rate text");
    Expect(update.rows[5] == "Ogg Vorbis", problems, "row 5 of an Ogg media file is not Ogg Vorbis");
    Expect(update.rows[7] == ogg.channelsText, problems, "row 7 is not the channels text");
    Expect(update.rows[8] == ogg.sampleRateText, problems, "row 8 is not the sample rate text");
    const NumberFormat ungrouped{format.decimalSeparator, ""};
    ExpectNumberRow(update, 9, " ", static_cast<double>(file.size()) / 1024.0 / 1024.0, 2, " MB", ungrouped,
                    problems);
}

bool IsXvid(const std::string& code) {
    return code == "XVID" || code == "xvid";
}

}  // namespace

Problems PanelUpdateProblems(FileBytes file, const NumberFormat& format, PanelRecordsAfter records,
                             const PanelUpdate& update) {
    Problems problems;
    const auto lines = {&update.titleLine, &update.authorLine, &update.copyrightLine, &update.genreLine};
    for (const auto* line : lines) {
        if (*line) Expect(IsValidUtf8(**line), problems, "a tag line is not UTF-8: " + Quoted(**line));
    }
    for (std::size_t row = 0; row < update.rows.size(); ++row) {
        if (update.rows[row]) {
            Expect(IsValidUtf8(*update.rows[row]), problems,
                   RowName(row) + " is not UTF-8: " + Quoted(*update.rows[row]));
        }
    }
    Expect(update.titleLine.has_value(), problems, "the title line was not written");
    if (update.titleLine) {
        Expect(CountCharacters(*update.titleLine) <= TitleLineLength, problems,
               "the title line is too long: " + Quoted(*update.titleLine));
    }
    ExpectTagLine("the author line", update.authorLine, records.tags.author, "Author: ", problems);
    ExpectTagLine("the copyright line", update.copyrightLine, records.tags.copyright,
                  "Copyright: ", problems);
    ExpectTagLine("the genre line", update.genreLine, records.tags.genre, "Genre: ", problems);

    const MovieFileKind expected = PanelKind(file);
    Expect(
        update.kind == expected, problems,
        std::string("the panel took the file for ") + KindName(update.kind) + ", not " + KindName(expected));
    Expect(!update.rows[4] && !update.rows[11], problems, "row 4 or row 11 was written");
    if (update.kind == MovieFileKind::Avi) {
        ExpectAviRows(format, records.avi, update, problems);
        Expect(update.xvidPicture == IsXvid(records.avi.videoCodec), problems,
               "the Xvid picture does not follow the AVI codec code");
    } else if (update.kind == MovieFileKind::OggMedia) {
        ExpectOggRows(file, format, records.ogg, update, problems);
        Expect(update.xvidPicture == IsXvid(records.ogg.videoCodec), problems,
               "the Xvid picture does not follow the Ogg codec code");
    } else if (update.kind == MovieFileKind::Ogg) {
        Expect(update.titleLine == "", problems, "the title line of an Ogg file is not emptied");
    } else if (update.kind == MovieFileKind::Mp4 || update.kind == MovieFileKind::Matroska) {
        const NumberFormat ungrouped{format.decimalSeparator, ""};
        ExpectNumberRow(update, 9, "", static_cast<double>(file.size()) / 1024.0 / 1024.0, 2, " MB",
                        ungrouped, problems);
    } else {
        for (std::size_t row = 0; row < update.rows.size(); ++row) {
            Expect(!update.rows[row], problems, RowName(row) + " was written for a file of no known kind");
        }
        Expect(!update.xvidPicture, problems, "the Xvid picture shown for a file of no known kind");
    }
    return problems;
}

Problems CheckPanel(FileBytes file) {
    Problems problems;
    const PanelConfig configs[] = {{"English, steps", NumberFormat::English(), true},
                                   {"German, no steps", NumberFormat{",", "."}, false}};
    for (const auto& config : configs) {
        CountedMovie movie(file);
        WindowState state;
        const PanelUpdate first = RunOnce(movie.files(), config, state, problems);
        movie.checkLimits(LimitsFor(file), "RunPanel", problems);
        // The Xvid picture of a film follows its four-character code as an AVI file's does.
        const auto* video = state.container.video ? &*state.container.video : nullptr;
        const bool xvid = video && video->codecId == "V_MS/VFW/FOURCC" && IsXvid(video->fourcc);
        if (first.kind == MovieFileKind::Mp4 || first.kind == MovieFileKind::Matroska) {
            Expect(first.xvidPicture == xvid, problems, "the Xvid picture does not follow the film's code");
        }
        // What the rows and discinfo's facts are made of.
        if (first.kind == MovieFileKind::Mp4 || first.kind == MovieFileKind::Matroska ||
            first.kind == MovieFileKind::Ogg) {
            Append(problems, PlausibleProblems(state.container));
        }
        const PanelRecordsAfter records{state.tags, state.avi, state.ogg};
        for (auto& problem : PanelUpdateProblems(file, config.format, records, first)) {
            problems.push_back(std::string(config.name) + ": " + problem);
        }
        // The window runs the panel on every activation; the same disc must read the same.
        const PanelUpdate second = RunOnce(movie.files(), config, state, problems);
        Expect(first == second, problems, std::string(config.name) + ": a second run wrote other texts");
    }
    return problems;
}

}  // namespace discstart
