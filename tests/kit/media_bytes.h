#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "readers/byte_file.h"

namespace discstart {

// Byte-built AVI and Ogg media for the kit's tests.
namespace media {

using Bytes = std::string;

Bytes U16(std::uint16_t v);
Bytes U32(std::uint32_t v);
Bytes U64(std::uint64_t v);

Bytes Chunk(const std::string& id, const Bytes& data);  // padded to an even length
Bytes List(const std::string& type, std::initializer_list<Bytes> children, const std::string& id = "LIST");
Bytes Join(const std::vector<Bytes>& parts);

Bytes Avih(std::uint32_t microSecPerFrame = 40000, std::uint32_t totalFrames = 250);
Bytes Strh(const std::string& type, const std::string& handler);
// `extra` goes after the format chunk (a stream name, say).
Bytes VideoList(const std::string& handler = "XVID", const Bytes& extra = "");
Bytes Wave(std::uint16_t tag, std::uint32_t bytesPerSec = 16000, std::uint16_t subTag = 0);
Bytes AudioList(const Bytes& wave = Wave(0x55));
Bytes Info(const std::vector<std::pair<std::string, std::string>>& tags);
Bytes Dmlh(std::uint32_t totalFrames);

// RIFF AVI: the header list of `headerChunks`, then `afterHeader`, then a small movi list.
Bytes Avi(const std::vector<Bytes>& headerChunks, const std::vector<Bytes>& afterHeader);
// Video then audio stream, a title and an author.
Bytes CleanAvi();

Bytes OggPage(std::uint8_t headerType, std::uint32_t serial, const std::vector<Bytes>& packets);
Bytes OgmVideoHeader(const std::string& codec = "XVID", std::size_t size = 57);
Bytes VorbisIdentification();
// Video header page, Vorbis identification page, a comment page.
Bytes CleanOgm();

// A file in memory for the walkers.
class MemoryFile : public ByteFile {
  public:
    explicit MemoryFile(Bytes bytes) : bytes_(std::move(bytes)) {}
    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override;
    std::uint64_t length() const { return bytes_.size(); }

  private:
    Bytes bytes_;
};

}  // namespace media

}  // namespace discstart
