#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "media/container.h"
#include "media/movie_types.h"
#include "media/ogg/ogg_media.h"

namespace discstart {

// A film's numbers, worked out once per panel run from what its readers returned: the panel
// formats its rows from them and discinfo prints them, so the two cannot tell different stories.
// Plain units. An AVI or Ogg media film's numbers stay as its header stores them, sign and all
// (the panel shows them so); whoever prints facts leaves out what is not above zero.
struct MovieFacts {
    MovieFileKind kind = MovieFileKind::Other;
    std::optional<double> framesPerSecond;
    std::optional<double> seconds;  // the running time
    // The Length row's whole seconds, rounded half to even. An AVI film whose length does not fit
    // 32 bits keeps the length the window had: the row and the bit rate go on with it.
    std::optional<std::int32_t> wholeSeconds;
    std::optional<double> videoBitsPerSecond;
    std::int64_t audioBitsPerSecond = 0;  // 0: none stored
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t channels = 0;
    std::int64_t sampleRate = 0;  // Hz
    // What the Filesize row counts: an AVI film's RIFF size (OpenDML: the whole file), else the
    // file's length.
    std::optional<double> sizeBytes;
    std::optional<std::int64_t> fileLength;  // as the file system reports it
    // The identifiers as stored, raw bytes: a four-character code, an MP4 sample entry type, a
    // Matroska CodecID or an Ogg stream's header magic.
    std::string videoCodec;
    std::string audioCodec;
    std::uint16_t audioFormatTag = 0;  // AVI, and Matroska's A_MS/ACM
    std::string brand;                 // MP4's major brand, Matroska's DocType

    bool operator==(const MovieFacts&) const = default;
};

// An AVI film. `earlierLength` is the Length the window carries from its last run.
MovieFacts ComputeMovieFacts(const AviHeaderInfo& avi, std::optional<std::int64_t> fileLength,
                             std::int32_t earlierLength);
// An Ogg media film, from its fixed offsets.
MovieFacts ComputeMovieFacts(const Ogg::OggStreamNumbers& ogg, std::optional<std::int64_t> fileLength);
// An MP4, Matroska or standard Ogg film.
MovieFacts ComputeMovieFacts(MovieFileKind kind, const ContainerInfo& film,
                             std::optional<std::int64_t> fileLength);

// The video bit rate of an MP4, Matroska or standard Ogg film, in bits per second: the rate the
// file stores, else the file's bits per second less the audio's stored rate (an audio track that
// stores none is counted in, as an AVI film's VBR audio is). Nothing without a video track, or
// without a length, a duration or a rate above zero.
std::optional<double> ContainerVideoBitrate(const ContainerInfo& film,
                                            std::optional<std::int64_t> fileLength);

}  // namespace discstart
