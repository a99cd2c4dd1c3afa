#pragma once

// Invariants that must hold for any movie file, whatever its bytes. The fuzz targets and the
// replay test both run them, so a crash input found once keeps being checked forever.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/container.h"
#include "media/movie_types.h"
#include "text/number_format.h"

namespace discstart {

struct PanelUpdate;
struct ContainerInfo;

// One movie file's bytes, exactly as a reader would see them on disk.
using FileBytes = std::span<const std::uint8_t>;

// What went wrong, one line each; empty when every invariant held.
using Problems = std::vector<std::string>;

// The whole check of each entry point: runs it on the bytes (from memory, counting reads)
// and compares what it returns with what the bytes say.
Problems CheckAviHeader(FileBytes file);
Problems CheckInfoTags(FileBytes file);
// The Ogg media fields at their fixed offsets, and a standard Ogg file's streams.
Problems CheckOggInfo(FileBytes file);
Problems CheckPanel(FileBytes file);
Problems CheckIsoMedia(FileBytes file);
Problems CheckMatroska(FileBytes file);
// A page through the readers' page layer (tokenizer, tree, style cost, the walk under the rule).
Problems CheckPageReader(FileBytes file);

// The comparisons alone, on a reading already made, so that a wrong record can be shown to be
// caught. `before` is the record the reading started from.
Problems AviHeaderProblems(FileBytes file, const AviHeaderInfo& before, MovieFileKind kind,
                           const AviHeaderInfo& after);
Problems InfoTagsProblems(FileBytes file, const MovieTags& before, const MovieTags& after);
// A container reading: the kind ReadContainer returned and the record it left.
Problems IsoMediaProblems(FileBytes file, const std::pair<MovieFileKind, ContainerInfo>& before,
                          const std::pair<MovieFileKind, ContainerInfo>& after);
Problems OggInfoProblems(FileBytes file, const NumberFormat& format, const OggStreamInfo& before,
                         const OggStreamInfo& after);
Problems OggStreamsProblems(const ContainerInfo& info);
// The records as the run left them.
struct PanelRecordsAfter {
    const MovieTags& tags;
    const AviHeaderInfo& avi;
    const OggStreamInfo& ogg;
};
Problems PanelUpdateProblems(FileBytes file, const NumberFormat& format, PanelRecordsAfter records,
                             const PanelUpdate& update);

// A film's reading (MP4, Matroska, standard Ogg): every fact within its Plausible bound or left
// out (zero), and a picture size whole or gone.
Problems PlausibleProblems(const ContainerInfo& info);

// A Matroska reading: sane numbers, and every text one the file stores.
Problems MatroskaProblems(FileBytes file, const ContainerInfo& info);

// The kind a file's signature bytes call for.
MovieFileKind ExpectedKind(FileBytes file);

bool IsValidUtf8(std::string_view text);
// Code points of a valid UTF-8 text.
std::size_t CountCharacters(std::string_view utf8);

// Whether `text` is `value` written with exactly `decimals` decimals and thousands grouping in
// `format`, rounded either way at a tie.
bool IsFixedText(std::string_view text, double value, int decimals, const NumberFormat& format);

// For the fuzz targets: prints the problems and aborts, so that the fuzzer keeps the input.
void AbortOnProblems(const Problems& problems, const char* target);

}  // namespace discstart
