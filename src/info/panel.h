#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "bytes/byte_file.h"
#include "info/movie_facts.h"
#include "media/container.h"
#include "media/movie_types.h"
#include "media/ogg/ogg_media.h"
#include "text/number_format.h"

namespace discstart {

inline constexpr int PanelRowCount = 12;
inline constexpr std::size_t TitleLineLength = 26;
inline constexpr std::size_t TagLineLength = 28;

// The caption column beside the rows; row 4 is the gap between video and audio, row 11 unused.
inline constexpr std::array<const char*, PanelRowCount> RowCaptions = {
    "Video:",   "Bitrate:",  "Resolution:", "Fps:",      "",        "Audio:",
    "Bitrate:", "Channels:", "Samplerate:", "Filesize:", "Length:", ""};

// What the panel carries from one run to the next (fields of the window).
struct PanelCarry {
    double framesPerSecond = 0.0;
    std::int32_t lengthSeconds = 0;

    bool operator==(const PanelCarry&) const = default;
};

// The records the readers fill; the panel reads and updates them in place. The tag record
// holds the tags of whatever kind of film was read last. A caller that keeps no record of the
// last two passes none.
struct PanelRecords {
    MovieTags& tags;
    AviHeaderInfo& avi;
    OggStreamInfo& ogg;
    ContainerInfo* container = nullptr;           // an MP4 or Matroska film
    Ogg::OggStreamNumbers* oggNumbers = nullptr;  // the numbers behind `ogg`'s texts, for facts
};

struct PanelInput {
    std::string moviePath;  // already formed by the caller's path rule
    PanelCarry carry;
    bool steps = true;  // chkRB is ticked
    NumberFormat format;
};

// What one run writes. Every text is UTF-8 for display, already cut to its line's length;
// an absent text means the target keeps the text it had.
struct PanelUpdate {
    std::optional<std::string> titleLine;                        // through Text1 into Label3
    std::optional<std::string> authorLine;                       // through Text2 into lblAuthor
    std::optional<std::string> copyrightLine;                    // through Text3 into lblCopyright
    std::optional<std::string> genreLine;                        // through Text4 into Label4
    std::array<std::optional<std::string>, PanelRowCount> rows;  // into lbl(0..11)
    bool xvidPicture = false;                                    // the Xvid picture (Picture6) shows
    MovieFileKind kind = MovieFileKind::Other;
    PanelCarry carry;  // the carried values after the run
    MovieFacts facts;  // the numbers the rows were formatted from, for discinfo's facts

    bool operator==(const PanelUpdate&) const = default;
};

// One run of the information panel on the movie at input.moviePath, opened once and its length
// asked once, whatever its kind. A path that ends in a film extension (FilmPattern) is read as an
// MP4 or Matroska film alone; any other is read as an AVI or Ogg media file, and where it is
// neither, as an MP4 or Matroska film.
PanelUpdate RunPanel(const PanelInput& input, PanelRecords records, const FileOpener& files);

}  // namespace discstart
