#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "bytes/byte_file.h"
#include "bytes/byte_window.h"
#include "media/container.h"
#include "media/plausible.h"

namespace discstart {

namespace Ogg {

// A standard Ogg file: its first page is the first page of a stream ("OggS", version 0) and its
// packet is no OGM stream header. Anything else that starts "OggS" or "OGGS" is read as Ogg
// media, at the fixed offsets. `head` holds the file's first bytes.
bool IsStandardOgg(const ByteWindow& head);

// The read at the end of the file for the last page's granule position: a page is at most
// 65,307 bytes, so the last page's header always lies in it.
inline constexpr std::size_t TailBlock = std::size_t{64} * 1024;

// Describes a standard Ogg file from the identification headers on the first pages of its
// streams (a Skeleton stream is passed over): the first Theora stream as the video track, the
// first Vorbis, Opus, FLAC or Speex stream as the audio track; a stream of another codec gives
// nothing. The length comes from the last granule position of the described streams, from one
// read of TailBlock bytes at the end (none when `head` reaches the end). `fileLength` is the
// file's length; without it there is no length. `film` comes in empty; facts outside the
// plausible bounds are left out and listed in `refused`. Never throws.
void ReadOggStreams(ByteFile& file, const ByteWindow& head, std::optional<std::int64_t> fileLength,
                    ContainerInfo& film, std::vector<RefusedFact>* refused = nullptr);

}  // namespace Ogg

}  // namespace discstart
