#include "support/header_bytes.h"

namespace discstart {

ByteWriter& ByteWriter::byte(std::size_t offset, std::uint8_t value) {
    if (bytes.size() <= offset) bytes.resize(offset + 1);
    bytes[offset] = value;
    return *this;
}

ByteWriter& ByteWriter::text(std::size_t offset, const std::string& value) {
    for (std::size_t i = 0; i < value.size(); ++i) byte(offset + i, static_cast<std::uint8_t>(value[i]));
    return *this;
}

ByteWriter& ByteWriter::int64(std::size_t offset, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < 8; ++i) byte(offset + i, static_cast<std::uint8_t>(bits >> (8 * i)));
    return *this;
}

ByteWriter& ByteWriter::int32(std::size_t offset, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) byte(offset + i, static_cast<std::uint8_t>(bits >> (8 * i)));
    return *this;
}

ByteWriter& ByteWriter::int16(std::size_t offset, std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    return byte(offset, static_cast<std::uint8_t>(bits))
        .byte(offset + 1, static_cast<std::uint8_t>(bits >> 8));
}

ByteWriter& ByteWriter::size(std::size_t length) {
    bytes.resize(length);
    return *this;
}

Bytes BuildAvi(const AviHeaderRecipe& l) {
    // Offsets follow the chunks: each list or chunk is an id, a size and its data.
    ByteWriter w;
    w.text(0, l.first4).int32(4, l.riffSize).text(8, l.form);
    w.text(12, "LIST").int32(16, 4 + 8 + l.avihSize + 8 + l.videoListSize).text(20, "hdrl");
    w.text(24, "avih").int32(28, l.avihSize);
    w.int32(32, l.microSecPerFrame).int32(48, l.totalFrames).int32(64, l.width).int32(68, l.height);
    const std::size_t video = 32 + static_cast<std::size_t>(l.avihSize);
    w.text(video, "LIST").int32(video + 4, l.videoListSize).text(video + 8, "strl");
    w.text(video + 12, "strh").int32(video + 16, 56).text(video + 20, "vids").text(video + 24, l.videoCodec);
    const std::size_t audio = video + 8 + static_cast<std::size_t>(l.videoListSize);
    w.text(audio, "LIST").int32(audio + 4, 4 + 8 + l.audioHeaderSize + 8 + 18).text(audio + 8, "strl");
    w.text(audio + 12, "strh").int32(audio + 16, l.audioHeaderSize).text(audio + 20, "auds");
    const std::size_t format = audio + 20 + static_cast<std::size_t>(l.audioHeaderSize);
    w.text(format, "strf").int32(format + 4, 18);
    w.int16(format + 8, l.audioFormatTag).int16(format + 10, l.audioChannels);
    w.int32(format + 12, l.audioSampleRate).int32(format + 16, l.audioBytesPerSec);
    return w.size(format + 26 + l.trailingBytes).bytes;
}

Bytes BuildInfoContent(const std::vector<InfoEntry>& entries) {
    ByteWriter w;
    for (const auto& entry : entries) {
        const std::size_t at = w.bytes.size();
        const auto stored =
            entry.storedSize >= 0 ? entry.storedSize : static_cast<std::int32_t>(entry.text.size() + 1);
        w.text(at, entry.id)
            .int32(at + 4, stored)
            .text(at + 8, entry.text)
            .byte(at + 8 + entry.text.size(), 0);
        if (w.bytes.size() % 2 != 0) w.byte(w.bytes.size(), 0);
    }
    return w.bytes;
}

Bytes BuildInfoFile(std::size_t q, const Bytes& content, std::size_t fileLength, std::int64_t listSize) {
    ByteWriter w;
    w.size(fileLength);
    const auto size = listSize >= 0 ? listSize : static_cast<std::int64_t>(content.size() + 4);
    w.text(q - 8, "LIST").int32(q - 4, static_cast<std::int32_t>(size)).text(q, "INFO");
    w.text(q + 4, std::string(content.begin(), content.end()));
    return w.size(fileLength).bytes;
}

Bytes BuildOgm(const OgmLayout& l) {
    ByteWriter w;
    w.text(0, l.capture).byte(4, 0).byte(5, 2).byte(26, 1).byte(27, 57);
    w.byte(28, 1).text(29, "video").text(37, l.videoCodec).int32(41, 40).int64(45, l.timeUnit);
    w.int32(53, 0x10000).int32(61, 0).int16(69, 24).int32(73, l.width).int32(77, l.height);
    w.text(85, "OggS").byte(90, 0).byte(111, 1).byte(112, 30);
    w.byte(113, 1).text(114, "vorbis").int32(120, 0).byte(124, l.channels).int32(125, l.sampleRate);
    w.int32(129, 0).int32(133, l.nominalBitrate).int32(137, 0).byte(141, 0xB8).byte(142, 1);
    return w.bytes;
}

}  // namespace discstart
