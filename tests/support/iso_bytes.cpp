#include "support/iso_bytes.h"

#include <bit>

namespace discstart {

namespace isobmff {

namespace {

Bytes Be(std::uint64_t v, int width) {
    Bytes out;
    for (int i = width - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xFF);
    return out;
}

}  // namespace

Bytes Be16(std::uint16_t v) {
    return Be(v, 2);
}
Bytes Be32(std::uint32_t v) {
    return Be(v, 4);
}
Bytes Be64(std::uint64_t v) {
    return Be(v, 8);
}

Bytes Box(const std::string& type, const Bytes& payload) {
    return Be32(std::uint32_t(8 + payload.size())) + type + payload;
}

Bytes LargeBox(const std::string& type, const Bytes& payload) {
    return Be32(1) + type + Be64(16 + payload.size()) + payload;
}

Bytes FullBox(const std::string& type, std::uint8_t version, const Bytes& payload) {
    return Box(type, char(version) + Bytes(3, '\0') + payload);
}

Bytes VisualEntry(const std::string& type, std::uint16_t width, std::uint16_t height, const Bytes& children) {
    Bytes fields = Bytes(6, '\0') + Be16(1) + Bytes(16, '\0') + Be16(width) + Be16(height);
    fields += Be32(0x480000) + Be32(0x480000) + Be32(0) + Be16(1) + Bytes(32, '\0') + Be16(24) + Be16(0xFFFF);
    return Box(type, fields + children);
}

Bytes SoundEntry(const std::string& type, std::uint16_t channels, std::uint32_t rate, const Bytes& children,
                 std::uint16_t version) {
    Bytes fields = Bytes(6, '\0') + Be16(1) + Be16(version) + Bytes(6, '\0');
    if (version == 2) {
        // The version 0 fields hold placeholders; the real ones follow as a float and a count.
        const auto bits = std::bit_cast<std::uint64_t>(double(rate));
        fields += Be16(3) + Be16(16) + Be16(0xFFFE) + Be16(0) + Be32(0x10000) + Be32(72) + Be64(bits);
        return Box(type, fields + Be32(channels) + Be32(0x7F000000) + Be32(16) + Be32(12) + Be32(4) +
                             Be32(1) + children);
    }
    fields += Be16(channels) + Be16(16) + Be16(0) + Be16(0) + Be32(rate << 16);
    if (version == 1) fields += Be32(1024) + Be32(0) + Be32(4) + Be32(2);
    return Box(type, fields + children);
}

Bytes Esds(std::uint8_t objectType, std::uint32_t avgBitrate, const Bytes& specificInfo) {
    // Sizes in the four-byte form ffmpeg writes.
    const auto descriptor = [](std::uint8_t tag, const Bytes& body) {
        return char(tag) + Bytes("\x80\x80\x80", 3) + char(body.size()) + body;
    };
    Bytes config = char(objectType) + Bytes("\x15\0\0\0", 4) + Be32(avgBitrate) + Be32(avgBitrate);
    if (!specificInfo.empty()) config += descriptor(0x05, specificInfo);
    const Bytes stream = Be16(1) + char(0) + descriptor(0x04, config) + descriptor(0x06, "\x02");
    return FullBox("esds", 0, descriptor(0x03, stream));
}

Bytes Btrt(std::uint32_t avgBitrate) {
    return Box("btrt", Be32(0) + Be32(avgBitrate) + Be32(avgBitrate));
}

TrackRecipe SoundTrack(const Bytes& entry) {
    return {"soun", entry, 48000, 480'000, {{468, 1024}, {1, 256}}, 64};
}

Bytes Trak(const TrackRecipe& track, std::uint32_t id) {
    const bool wide = track.headerVersion == 1;
    const Bytes made = wide ? Be64(0) + Be64(0) : Be32(0) + Be32(0);
    const Bytes rest = Be32(0) + (wide ? Be64(0) : Be32(0)) + Bytes(60, '\0');
    const Bytes tkhd = FullBox("tkhd", track.headerVersion, made + Be32(id) + rest);
    const Bytes mdhd = FullBox(
        "mdhd", 0,
        Be32(0) + Be32(0) + Be32(track.timescale) + Be32(std::uint32_t(track.duration)) + Be32(0x55C40000));
    const Bytes hdlr = FullBox("hdlr", 0, Be32(0) + track.handler + Bytes(12, '\0') + "Handler\0");
    Bytes times = Be32(std::uint32_t(track.times.size()));
    for (const auto& [count, delta] : track.times) times += Be32(count) + Be32(delta);
    const Bytes stbl =
        Box("stbl", FullBox("stsd", 0, Be32(1) + track.entry) + FullBox("stts", 0, times) +
                        Box("stsz", Bytes(track.sampleTableBytes, '\0')) + FullBox("stco", 0, Be32(0)));
    const Bytes header =
        track.handler == "vide" ? FullBox("vmhd", 0, Bytes(8, '\0')) : FullBox("smhd", 0, Be32(0));
    const Bytes dinf = Box("dinf", FullBox("dref", 0, Be32(1) + FullBox("url ", 0, "")));
    return Box("trak", tkhd + Box("mdia", mdhd + hdlr + Box("minf", header + dinf + stbl)));
}

Bytes Moov(const MovieRecipe& movie) {
    Bytes times = movie.version == 1
                      ? Be64(0) + Be64(0) + Be32(movie.timescale) + Be64(movie.duration)
                      : Be32(0) + Be32(0) + Be32(movie.timescale) + Be32(std::uint32_t(movie.duration));
    Bytes out =
        FullBox("mvhd", movie.version, times + Be32(0x10000) + Be16(0x100) + Bytes(70, '\0') + Be32(3));
    std::uint32_t id = 0;
    for (const auto& track : movie.tracks) out += Trak(track, ++id);
    if (!movie.mvex.empty()) out += Box("mvex", movie.mvex);
    if (!movie.udta.empty()) out += Box("udta", movie.udta);
    return Box("moov", out);
}

Bytes Trex(std::uint32_t track, std::uint32_t defaultDuration) {
    return FullBox("trex", 0, Be32(track) + Be32(1) + Be32(defaultDuration) + Be32(0) + Be32(0));
}

Bytes Moof(const std::vector<TrafRecipe>& trafs) {
    Bytes out = FullBox("mfhd", 0, Be32(1));
    for (const auto& traf : trafs) {
        const bool durations = !traf.durations.empty();
        const std::uint32_t tfhdFlags = traf.defaultDuration ? 0x08 : 0;
        Bytes tfhd = Be32(tfhdFlags) + Be32(traf.track);
        if (traf.defaultDuration) tfhd += Be32(traf.defaultDuration);
        // data offset and sample sizes, with the durations where given
        Bytes samples;
        for (const std::uint32_t duration : traf.durations) samples += Be32(duration) + Be32(100);
        for (std::uint32_t i = 0; i < traf.samples; ++i) samples += Be32(100);
        const std::uint32_t count = std::uint32_t(traf.durations.size()) + traf.samples;
        const Bytes trun = Box("trun", Be32(durations ? 0x301 : 0x201) + Be32(count) + Be32(0) + samples);
        out += Box("traf", Box("tfhd", tfhd) + FullBox("tfdt", 1, Be64(traf.start)) + trun);
    }
    return Box("moof", out);
}

Bytes Sidx(std::uint32_t timescale, std::uint32_t earliest,
           const std::vector<std::pair<std::uint32_t, std::uint32_t>>& references,
           std::uint32_t firstOffset) {
    Bytes out = Be32(1) + Be32(timescale) + Be32(earliest) + Be32(firstOffset) + Be16(0) +
                Be16(std::uint16_t(references.size()));
    for (const auto& [size, duration] : references) out += Be32(size) + Be32(duration) + Be32(0x90000000);
    return FullBox("sidx", 0, out);
}

Bytes Mfra(const std::vector<std::vector<std::uint64_t>>& moofOffsets) {
    Bytes out;
    std::uint32_t track = 0;
    for (const auto& offsets : moofOffsets) {
        Bytes entries;
        for (const std::uint64_t offset : offsets) entries += Be64(0) + Be64(offset) + "\x01\x01\x01";
        out += FullBox("tfra", 1, Be32(++track) + Be32(0) + Be32(std::uint32_t(offsets.size())) + entries);
    }
    const std::uint32_t size = std::uint32_t(8 + out.size() + 16);
    return Box("mfra", out + FullBox("mfro", 0, Be32(size)));
}

Bytes ItemList(const std::vector<std::pair<std::string, Bytes>>& items) {
    Bytes list;
    for (const auto& [type, text] : items) list += Box(type, Box("data", Be32(1) + Be32(0) + text));
    const Bytes hdlr = FullBox("hdlr", 0, Be32(0) + "mdirappl" + Bytes(9, '\0'));
    return FullBox("meta", 0, hdlr + Box("ilst", list));
}

Bytes Ftyp(const std::string& brand) {
    return Box("ftyp", brand + Be32(512) + "isomiso2avc1mp41");
}

Bytes MoovFirst(const MovieRecipe& movie, std::size_t mediaBytes) {
    return Ftyp() + Moov(movie) + Box("free", "") + Box("mdat", Bytes(mediaBytes, '\0'));
}

Bytes MoovLast(const MovieRecipe& movie, std::size_t mediaBytes) {
    return Ftyp() + Box("free", "") + Box("mdat", Bytes(mediaBytes, '\0')) + Moov(movie);
}

}  // namespace isobmff

}  // namespace discstart
