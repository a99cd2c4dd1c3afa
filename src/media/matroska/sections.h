#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bytes/byte_window.h"
#include "media/container.h"
#include "media/matroska/ebml_element.h"

namespace discstart {

// The Matroska reader's own record of the three sections it reads (Info, Tracks, Tags),
// filled in whatever order the file lays them out and then merged into a ContainerInfo.

namespace MatroskaId {
inline constexpr std::uint64_t Ebml = 0x1A45DFA3;
inline constexpr std::uint64_t DocType = 0x4282;
inline constexpr std::uint64_t Segment = 0x18538067;
inline constexpr std::uint64_t SeekHead = 0x114D9B74;
inline constexpr std::uint64_t Seek = 0x4DBB;
inline constexpr std::uint64_t SeekId = 0x53AB;
inline constexpr std::uint64_t SeekPosition = 0x53AC;
inline constexpr std::uint64_t Info = 0x1549A966;
inline constexpr std::uint64_t Tracks = 0x1654AE6B;
inline constexpr std::uint64_t Tags = 0x1254C367;
inline constexpr std::uint64_t Cues = 0x1C53BB6B;
inline constexpr std::uint64_t Cluster = 0x1F43B675;
inline constexpr std::uint64_t Chapters = 0x1043A770;
inline constexpr std::uint64_t Attachments = 0x1941A469;
}  // namespace MatroskaId

struct MatroskaTrack {
    TrackFacts facts;
    std::uint64_t uid = 0;
    std::uint64_t number = 0;  // as the blocks name it
};

struct MatroskaSections {
    bool infoRead = false;
    bool tracksRead = false;
    bool tagsRead = false;

    // Info
    std::uint64_t timestampScale = 1'000'000;  // nanoseconds per tick
    std::optional<double> durationTicks;
    std::string title;
    std::string writingApp;
    std::string muxingApp;

    // Tracks: the first of each kind.
    std::optional<MatroskaTrack> video;
    std::optional<MatroskaTrack> audio;

    // Tags: the Segment's own, and the stored bit rates per track UID.
    MovieTags tags;
    std::string director;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> trackBitrates;
};

// Each reads one section the window holds whole (or as much of it as the window holds).
void ReadMatroskaInfo(const ByteWindow& window, const EbmlElement& info, MatroskaSections& sections);
void ReadMatroskaTracks(const ByteWindow& window, const EbmlElement& tracks, MatroskaSections& sections);
void ReadMatroskaTags(const ByteWindow& window, const EbmlElement& tags, MatroskaSections& sections);

// What the track's CodecID and CodecPrivate (null when it has none) tell beyond the ID: a
// four-character code, a format tag, an AAC object type or a Vorbis nominal bit rate.
void ReadCodecDetails(const ByteWindow& window, const EbmlElement* codecPrivate, TrackFacts& track);

// The sections merged into `info`, with the file's choices between them made.
void ApplyMatroskaSections(const MatroskaSections& sections, ContainerInfo& info);

}  // namespace discstart
