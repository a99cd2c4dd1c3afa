#include "movie_bytes.h"

namespace discstart {

namespace {

class Bytes {
  public:
    Bytes& text(const std::string& s) {
        data_ += s;
        return *this;
    }
    Bytes& u8(std::uint8_t v) {
        data_ += static_cast<char>(v);
        return *this;
    }
    Bytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& u64(std::uint64_t v) { return u32(v & 0xFFFFFFFF).u32(v >> 32); }
    Bytes& zeros(std::size_t n) {
        data_.append(n, '\0');
        return *this;
    }
    // A chunk: identifier, size, body, padded to an even length.
    Bytes& chunk(const std::string& id, const std::string& body) {
        text(id).u32(static_cast<std::uint32_t>(body.size())).text(body);
        if (body.size() % 2 != 0) u8(0);
        return *this;
    }
    Bytes& list(const std::string& type, const std::string& body) { return chunk("LIST", type + body); }
    const std::string& str() const { return data_; }

  private:
    std::string data_;
};

std::string StreamHeader(const std::string& type, const std::string& handler) {
    return Bytes().text(type).text(handler).zeros(48).str();
}

std::string VideoStreamList(const AviFields& f) {
    Bytes bitmapInfo;
    bitmapInfo.u32(40).u32(f.width).u32(f.height).u16(1).u16(24).text(f.videoCodec).zeros(20);
    Bytes body;
    body.chunk("strh", StreamHeader("vids", f.videoCodec)).chunk("strf", bitmapInfo.str());
    if (f.videoIndexSize > 0) body.chunk("indx", std::string(f.videoIndexSize, '\0'));
    return body.str();
}

std::string AudioStreamList(const AviFields& f) {
    Bytes wave;
    wave.u16(f.audioFormatTag).u16(f.audioChannels).u32(f.audioSampleRate).u32(f.audioBytesPerSec);
    wave.u16(1).u16(16).u16(0);
    return Bytes().chunk("strh", StreamHeader("auds", std::string(4, '\0'))).chunk("strf", wave.str()).str();
}

}  // namespace

std::string AviBytes(const AviFields& f) {
    Bytes mainHeader;
    mainHeader.u32(f.microSecPerFrame).u32(0).u32(0).u32(0x10).u32(f.totalFrames).u32(0).u32(2).u32(0);
    mainHeader.u32(f.width).u32(f.height).zeros(16);

    Bytes headers;
    headers.chunk("avih", mainHeader.str()).list("strl", VideoStreamList(f)).list("strl", AudioStreamList(f));

    Bytes body;
    body.text("AVI ").list("hdrl", headers.str());
    if (!f.info.empty()) {
        Bytes tags;
        for (const auto& [id, text] : f.info) tags.chunk(id, text + '\0');
        body.list("INFO", tags.str());
    }
    body.chunk("JUNK", std::string(64, '\0')).list("movi", std::string(f.movieDataSize, '\x5A'));
    return Bytes().text("RIFF").u32(f.riffSize).text(body.str()).str();
}

namespace {

std::string OggPage(std::uint32_t sequence, const std::string& packet) {
    Bytes page;
    page.text("OggS").u8(0).u8(sequence == 0 ? 2 : 0).u64(0).u32(sequence + 1).u32(sequence).u32(0);
    page.u8(1).u8(static_cast<std::uint8_t>(packet.size())).text(packet);
    return page.str();
}

}  // namespace

std::string OggBytes(const OggFields& f) {
    Bytes video;
    video.u8(1).text("video").zeros(3).text(f.videoCodec).u32(52).u64(f.timeUnit).u64(10'000'000 / 400'000);
    video.u32(0).u32(65536).u16(24).u16(0).u32(f.width).u32(f.height).zeros(4);
    Bytes vorbis;
    vorbis.u8(1).text("vorbis").u32(0).u8(f.channels).u32(f.sampleRate).u32(0).u32(f.nominalBitrate).u32(0);
    vorbis.u8(0xB8).u8(1);
    return OggPage(0, video.str()) + OggPage(1, vorbis.str()) + std::string(f.movieDataSize, '\x33');
}

}  // namespace discstart
