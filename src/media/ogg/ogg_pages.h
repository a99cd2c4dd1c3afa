#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace discstart {

class ByteFile;

// One Ogg page's header and the start of its first packet.
struct OggPage {
    std::uint64_t offset = 0;
    std::uint8_t headerType = 0;  // 2: first page of a stream
    std::uint32_t serial = 0;
    std::vector<std::uint8_t> lacing;
    std::uint64_t bodyOffset = 0;  // where the first packet starts
    std::uint64_t bodySize = 0;
    std::string firstBytes;  // up to 64 bytes of the first packet
    bool complete = false;   // the body lies within the file

    std::uint64_t next() const { return bodyOffset + bodySize; }
};

// The page at `offset`, or nothing when no "OggS" page header lies there in full.
std::optional<OggPage> ReadOggPage(ByteFile& file, std::uint64_t offset);

bool IsOgmVideoHeader(const std::string& firstBytes);
bool IsVorbisIdentification(const std::string& firstBytes);

}  // namespace discstart
