#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace discstart {

class ByteFile;
class ByteWindow;

inline constexpr std::uint64_t OggPageHeaderSize = 27;
// A page's header with the most lacing values it can have.
inline constexpr std::uint64_t OggMaxPageHeaderSize = OggPageHeaderSize + 255;

// One Ogg page's header as it stands in the file.
struct OggPageHeader {
    std::uint64_t offset = 0;
    std::uint8_t version = 0;     // 0 in every standard Ogg file
    std::uint8_t headerType = 0;  // 2: first page of a stream
    std::uint64_t granule = 0;
    std::uint32_t serial = 0;
    std::uint64_t bodyOffset = 0;  // where the first packet starts
    std::uint64_t bodySize = 0;

    std::uint64_t next() const { return bodyOffset + bodySize; }
};

// The page whose "OggS", header and lacing values `bytes` holds at `offset`; nothing when any of
// them lies outside it. The one parse of a page header: every Ogg reader goes through it.
std::optional<OggPageHeader> ParseOggPage(const ByteWindow& bytes, std::uint64_t offset);

// A page's header and the start of its first packet.
struct OggPage : OggPageHeader {
    std::string firstBytes;  // up to 64 bytes of the first packet
    bool complete = false;   // the body lies within the file
};

// The page at `offset`, or nothing when no "OggS" page header lies there in full: one read, and
// a second for a body that ends past it.
std::optional<OggPage> ReadOggPage(ByteFile& file, std::uint64_t offset);

bool IsOgmVideoHeader(const std::string& firstBytes);
bool IsVorbisIdentification(const std::string& firstBytes);

}  // namespace discstart
