#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bytes/byte_file.h"
#include "bytes/byte_window.h"
#include "media/movie_types.h"
#include "media/plausible.h"

namespace discstart {

// One track of an MP4 or Matroska film as its headers describe it. Zero or empty where the
// file says nothing; the naming tables and the panel decide what to make of each field.
struct TrackFacts {
    // The stored identifier: the sample entry type ("avc1", "mp4a") or the CodecID
    // ("V_MPEG4/ISO/AVC", "A_OPUS"), raw bytes.
    std::string codecId{};
    // MP4 esds objectTypeIndication (0x20 MPEG-4 Visual, 0x40 AAC, 0x69/0x6B MP3, ...).
    std::uint8_t objectType = 0;
    // AAC's audio object type from its AudioSpecificConfig (2 LC, 5 SBR, 29 PS), the
    // extension's type where SBR or PS is signalled explicitly.
    std::uint8_t audioObjectType = 0;
    // Matroska V_MS/VFW/FOURCC: the compression code of its BITMAPINFOHEADER (four raw bytes).
    std::string fourcc{};
    // Matroska A_MS/ACM: the format tag of its WAVEFORMATEX.
    std::uint16_t formatTag = 0;
    std::uint32_t width = 0;  // coded picture size, as ffprobe reports it
    std::uint32_t height = 0;
    double framesPerSecond = 0;
    std::uint32_t channels = 0;  // from the codec's own configuration where it has one
    std::uint32_t sampleRate = 0;
    std::uint64_t bitrate = 0;  // bits per second, only where the file stores it

    bool operator==(const TrackFacts&) const = default;
};

// What the readers of today's containers give.
struct ContainerInfo {
    // MP4: the ftyp major brand ("isom", "mp42", "M4V ", "qt  "); Matroska: the DocType
    // ("matroska", "webm").
    std::string brand;
    // MP4: mvhd, else the longer of the two tracks' mdhd; a fragmented film's from its mehd, else
    // a sidx that covers all its media, else the end of its last fragment (its moov counts the
    // first fragment at most).
    double durationSeconds = 0;
    std::optional<TrackFacts> video;  // the first video track
    std::optional<TrackFacts> audio;  // the first audio track
    // title, author, copyright, genre and the writing software where the file stores them
    MovieTags tags;

    // How the file is laid out, for the disc check.
    bool indexAfterMedia = false;  // MP4: moov lies after mdat
    bool fragmented = false;       // MP4: moof fragments (mvex in moov, or a moof before it)
    bool hasSeekHead = false;      // Matroska
    bool hasCues = false;          // Matroska: found through the SeekHead or before the first Cluster
    // The facts the file stores that no film can have, left out above.
    std::vector<RefusedFact> refused;

    bool operator==(const ContainerInfo&) const = default;
};

// The first bytes every container read starts from; one read call shared by the kind test
// and the reader.
inline constexpr std::size_t ContainerHeadBlock = std::size_t{16} * 1024;

// Mp4 for an ISO base media file (MP4, M4V, MOV: a ftyp, moov, mdat, free, skip or wide box
// first), Matroska for an EBML file, else Other.
MovieFileKind ContainerKind(const ByteWindow& head);

// Reads the description of an MP4 or Matroska file. `head` holds the file's first bytes
// (ContainerHeadBlock of them, fewer at the end of the file); `info` comes in empty and keeps
// zero where the file gives nothing. Never throws; never reads media data (mdat, Clusters) or
// sample tables other than stts and a fragment's sample durations.
// An MP4 costs the first block and at most four more reads, most of 16 KiB: at the audio track
// and the tags of a long film's moov, at the moov itself where it lies after mdat, at a long stts
// (up to 64 KiB); a fragmented film without mehd at the last 64 KiB of the file (`fileLength`, as
// the file system reports it; 0 when unknown: no such read), its mfra and its last moof.
void ReadIsoMedia(ByteFile& file, const ByteWindow& head, ContainerInfo& info, std::uint64_t fileLength = 0);
void ReadMatroska(ByteFile& file, const ByteWindow& head, ContainerInfo& info);

// Tells the kind of an open file from its first block and reads it: Mp4 or Matroska with `info`
// filled afresh, or Other (another kind of file) with `info` untouched. The panel hands in the file
// it opened for the AVI and Ogg readers, so that a film is opened once whatever its kind;
// `fileLength` as the file system reports it, 0 when unknown. The facts no film can have are left
// out (KeepPlausible) and listed in `info.refused`.
MovieFileKind ReadContainer(ByteFile& file, std::uint64_t fileLength, ContainerInfo& info);
// The same on the file at `path`; Other when it cannot be opened.
MovieFileKind ReadContainer(const std::string& path, ContainerInfo& info, const FileOpener& files);
// The same from a file already open and its first bytes in `head`.
MovieFileKind ReadContainer(ByteFile& file, const ByteWindow& head, std::uint64_t fileLength,
                            ContainerInfo& info);

}  // namespace discstart
