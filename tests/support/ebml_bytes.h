#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace discstart {

// Matroska composed element by element, for the reader's tests and the fuzz seeds' twins.
namespace ebml {

using Bytes = std::string;

Bytes Id(std::uint64_t id);  // the ID's bytes as written: 0x1A45DFA3 gives four
// The shortest size field for `size`, or one `width` bytes wide.
Bytes Size(std::uint64_t size, int width = 0);
Bytes UnknownSize(int width = 8);

Bytes Element(std::uint64_t id, const Bytes& payload, int sizeWidth = 0);
Bytes Master(std::uint64_t id, const std::vector<Bytes>& children);
Bytes Uint(std::uint64_t id, std::uint64_t value, int width = 0);
Bytes Float(std::uint64_t id, double value, int width = 8);
Bytes Text(std::uint64_t id, const std::string& text);
// A Void element of exactly `total` bytes, header included (at least 2).
Bytes Void(std::uint64_t total);

Bytes EbmlHeader(const std::string& docType = "matroska");
Bytes SimpleTag(const std::string& name, const std::string& value);
// A Tag; `targets` are the children of its Targets, none for the film as a whole.
Bytes Tag(const std::vector<Bytes>& targets, const std::vector<Bytes>& simpleTags);

Bytes VideoTrack(const std::string& codecId = "V_MPEG4/ISO/AVC", std::uint32_t width = 640,
                 std::uint32_t height = 272, std::uint64_t defaultDuration = 40'000'000,
                 std::uint64_t uid = 11);
Bytes AudioTrack(const std::string& codecId = "A_AAC", double samplingFrequency = 48000,
                 std::uint64_t channels = 2, std::uint64_t uid = 12);
// A TrackEntry of any children: TrackType first.
Bytes TrackEntry(std::uint64_t type, const std::vector<Bytes>& children);

enum class Where { Front, End };

// A film laid out as ffmpeg (everything before the Clusters) or mkvmerge (Cues and Tags after
// them) writes it; the sections are given whole, so that a test can make them odd.
struct MatroskaRecipe {
    Bytes ebmlHeader = EbmlHeader();
    bool unknownSegmentSize = false;
    bool seekHead = true;
    bool seekHeadNamesCues = true;
    // The SeekHead at the front names a second one after the Clusters, which names the rest.
    bool secondSeekHead = false;
    std::uint64_t voidAfterSeekHead = 100;
    Bytes info{};    // an Info element; FilmInfo() unless set
    Bytes tracks{};  // a Tracks element; FilmTracks() unless set
    Bytes tags{};    // a Tags element; FilmTags() unless set
    Where infoAt = Where::Front;
    Where tracksAt = Where::Front;
    Where tagsAt = Where::Front;
    // Between the SeekHead's Void and the first section: pushes the sections past the head.
    std::uint64_t voidBeforeSections = 0;
    bool cuesBeforeClusters = false;
    bool unknownClusterSize = false;
    std::uint64_t mediaBytes = 1024;  // the Cluster's payload, zero bytes
    Bytes clusterStart{};             // the payload's first bytes (blocks), the rest zeros
    Bytes junkBeforeTracks{};         // bytes no element starts with, right before the Tracks
};

// The film as its front (up to the Cluster's payload), the payload's length and what follows.
struct MatroskaParts {
    Bytes front;
    std::uint64_t tailAt = 0;
    Bytes tail;

    Bytes whole() const;
};

// A SimpleBlock of track `track` at `time` ticks from its Cluster's time, `payload` bytes of frame.
Bytes SimpleBlock(std::uint64_t track, std::int16_t time, std::size_t payload = 4);

Bytes FilmInfo(const std::string& title = "Info Title", double durationMs = 5'400'000);
Bytes FilmTracks();
Bytes FilmTags();

MatroskaParts BuildMatroska(const MatroskaRecipe& recipe);

}  // namespace ebml

}  // namespace discstart
