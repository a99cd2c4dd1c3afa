#include "support/riff_bytes.h"

namespace discstart {

namespace media {

namespace {

Bytes Le(std::uint64_t v, int width) {
    Bytes out;
    for (int i = 0; i < width; ++i) out += char((v >> (8 * i)) & 0xFF);
    return out;
}

}  // namespace

Bytes Zeros(std::size_t n) {
    return Bytes(n, '\0');
}

Bytes U16(std::uint16_t v) {
    return Le(v, 2);
}
Bytes U32(std::uint32_t v) {
    return Le(v, 4);
}
Bytes U64(std::uint64_t v) {
    return Le(v, 8);
}

Bytes Chunk(const std::string& id, const Bytes& data) {
    Bytes out = id + U32(std::uint32_t(data.size())) + data;
    if (data.size() % 2) out += '\0';
    return out;
}

Bytes List(const std::string& type, std::initializer_list<Bytes> children, const std::string& id) {
    return Chunk(id, type + Join(children));
}

Bytes Join(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const auto& p : parts) out += p;
    return out;
}

Bytes Avih(std::uint32_t microSecPerFrame, std::uint32_t totalFrames) {
    Bytes data = U32(microSecPerFrame) + Zeros(12) + U32(totalFrames) + Zeros(12) + U32(640) + U32(272);
    return Chunk("avih", data + Zeros(56 - data.size()));
}

Bytes Strh(const std::string& type, const std::string& handler) {
    return Chunk("strh", type + handler + Zeros(48));
}

Bytes VideoList(const std::string& handler, const Bytes& extra) {
    Bytes bitmap = U32(40) + U32(640) + U32(272) + U16(1) + U16(24) + handler + Zeros(20);
    return List("strl", {Strh("vids", handler), Chunk("strf", bitmap), extra});
}

Bytes Wave(std::uint16_t tag, std::uint32_t bytesPerSec, std::uint16_t subTag) {
    Bytes data = U16(tag) + U16(2) + U32(48000) + U32(bytesPerSec) + U16(1) + U16(0);
    if (tag != 0xFFFE) return data + U16(0);
    // cbSize 22, valid bits, channel mask, then the sub-format GUID led by the real tag.
    return data + U16(22) + U16(16) + U32(3) + U16(subTag) +
           Bytes("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
}

Bytes AudioList(const Bytes& wave) {
    return List("strl", {Strh("auds", Zeros(4)), Chunk("strf", wave)});
}

Bytes Info(const std::vector<std::pair<std::string, std::string>>& tags) {
    Bytes children;
    for (const auto& [id, text] : tags) children += Chunk(id, text + '\0');
    return Chunk("LIST", "INFO" + children);
}

Bytes Dmlh(std::uint32_t totalFrames) {
    return List("odml", {Chunk("dmlh", U32(totalFrames) + Zeros(244))});
}

Bytes Avi(const std::vector<Bytes>& headerChunks, const std::vector<Bytes>& afterHeader) {
    Bytes header = Chunk("LIST", "hdrl" + Join(headerChunks));
    Bytes movi = List("movi", {Chunk("00dc", Bytes(100, '\x11')), Chunk("01wb", Bytes(32, '\x22'))});
    return Chunk("RIFF", "AVI " + header + Join(afterHeader) + movi);
}

Bytes CleanAvi() {
    return Avi({Avih(), VideoList(), AudioList()}, {Info({{"INAM", "Night Train"}, {"IART", "Ada Grey"}})});
}

Bytes OggPage(std::uint8_t headerType, std::uint32_t serial, const std::vector<Bytes>& packets,
              std::uint32_t sequence, std::uint64_t granule) {
    Bytes lacing, body;
    for (const auto& p : packets) {
        std::size_t left = p.size();
        while (left >= 255) {
            lacing += char(255);
            left -= 255;
        }
        lacing += char(left);
        body += p;
    }
    return "OggS" + Bytes(1, '\0') + Bytes(1, char(headerType)) + U64(granule) + U32(serial) + U32(sequence) +
           U32(0) + Bytes(1, char(lacing.size())) + lacing + body;
}

Bytes OgmVideoHeader(const std::string& codec, std::size_t size) {
    Bytes h = Bytes("\x01video\0\0\0", 9) + codec + U32(size) + U64(400000) + U64(1) + U32(0) + U32(0) +
              U16(24) + U16(0) + U32(640) + U32(352);
    h.resize(size, '\0');
    return h;
}

Bytes VorbisIdentification() {
    return "\x01vorbis" + U32(0) + Bytes(1, '\x02') + U32(48000) + U32(0) + U32(128000) + U32(0) + "\xB8\x01";
}

Bytes CleanOgm() {
    return OggPage(2, 1, {OgmVideoHeader()}) + OggPage(2, 2, {VorbisIdentification()}) +
           OggPage(0, 2, {"\x03vorbis" + U32(0) + U32(0) + "\x01"});
}

}  // namespace media

}  // namespace discstart
