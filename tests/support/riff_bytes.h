#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace discstart {

// RIFF (AVI, INFO) and Ogg media composed chunk by chunk and page by page, for every test.
namespace media {

using Bytes = std::string;

Bytes U16(std::uint16_t v);
Bytes U32(std::uint32_t v);
Bytes U64(std::uint64_t v);
Bytes Zeros(std::size_t n);

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

Bytes OggPage(std::uint8_t headerType, std::uint32_t serial, const std::vector<Bytes>& packets,
              std::uint32_t sequence = 0, std::uint64_t granule = 0);
Bytes OgmVideoHeader(const std::string& codec = "XVID", std::size_t size = 57);
Bytes VorbisIdentification();
// Video header page, Vorbis identification page, a comment page.
Bytes CleanOgm();

}  // namespace media

}  // namespace discstart
