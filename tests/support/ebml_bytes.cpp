#include "support/ebml_bytes.h"

#include <bit>

namespace discstart {

namespace ebml {

namespace {

Bytes BigEndian(std::uint64_t value, int width) {
    Bytes bytes(static_cast<std::size_t>(width), '\0');
    for (int i = width - 1; i >= 0; --i, value >>= 8)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
    return bytes;
}

Bytes Join(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const auto& part : parts) all += part;
    return all;
}

Bytes Seek(std::uint64_t id, std::uint64_t position) {
    return Master(0x4DBB, {Element(0x53AB, Id(id)), Uint(0x53AC, position, 8)});
}

constexpr std::uint64_t SegmentId = 0x18538067;
constexpr std::uint64_t SeekHeadId = 0x114D9B74;
constexpr std::uint64_t InfoId = 0x1549A966;
constexpr std::uint64_t TracksId = 0x1654AE6B;
constexpr std::uint64_t TagsId = 0x1254C367;
constexpr std::uint64_t CuesId = 0x1C53BB6B;
constexpr std::uint64_t ClusterId = 0x1F43B675;

}  // namespace

Bytes Id(std::uint64_t id) {
    int width = 1;
    while (width < 8 && (id >> (8 * width)) != 0) ++width;
    return BigEndian(id, width);
}

Bytes Size(std::uint64_t size, int width) {
    if (width == 0) {
        width = 1;
        // All value bits set would read as an unknown size.
        while (width < 8 && size >= (std::uint64_t{1} << (7 * width)) - 1) ++width;
    }
    return BigEndian(size | (std::uint64_t{1} << (7 * width)), width);
}

Bytes UnknownSize(int width) {
    return BigEndian((std::uint64_t{1} << (8 * width - width + 1)) - 1, width);
}

Bytes Element(std::uint64_t id, const Bytes& payload, int sizeWidth) {
    return Id(id) + Size(payload.size(), sizeWidth) + payload;
}

Bytes Master(std::uint64_t id, const std::vector<Bytes>& children) {
    return Element(id, Join(children));
}

Bytes Uint(std::uint64_t id, std::uint64_t value, int width) {
    if (width == 0) {
        width = 1;
        while (width < 8 && (value >> (8 * width)) != 0) ++width;
    }
    return Element(id, BigEndian(value, width));
}

Bytes Float(std::uint64_t id, double value, int width) {
    if (width == 4) return Element(id, BigEndian(std::bit_cast<std::uint32_t>(static_cast<float>(value)), 4));
    return Element(id, BigEndian(std::bit_cast<std::uint64_t>(value), 8));
}

Bytes Text(std::uint64_t id, const std::string& text) {
    return Element(id, text);
}

Bytes SimpleBlock(std::uint64_t track, std::int16_t time, std::size_t payload) {
    return Element(0xA3, Size(track) + BigEndian(static_cast<std::uint16_t>(time), 2) + Bytes(1, '\x80') +
                             Bytes(payload, '\0'));
}

Bytes Void(std::uint64_t total) {
    // A one-byte size up to 126 payload bytes, else an 8-byte size.
    if (total <= 128) return Element(0xEC, Bytes(total - 2, '\0'));
    return Element(0xEC, Bytes(total - 9, '\0'), 8);
}

Bytes EbmlHeader(const std::string& docType) {
    return Master(0x1A45DFA3, {Uint(0x4286, 1), Uint(0x42F7, 1), Uint(0x42F2, 4), Uint(0x42F3, 8),
                               Text(0x4282, docType), Uint(0x4287, 4), Uint(0x4285, 2)});
}

Bytes SimpleTag(const std::string& name, const std::string& value) {
    return Master(0x67C8, {Text(0x45A3, name), Text(0x447A, "und"), Text(0x4487, value)});
}

Bytes Tag(const std::vector<Bytes>& targets, const std::vector<Bytes>& simpleTags) {
    return Element(0x7373, Master(0x63C0, targets) + Join(simpleTags));
}

Bytes TrackEntry(std::uint64_t type, const std::vector<Bytes>& children) {
    return Element(0xAE, Uint(0x83, type) + Join(children));
}

Bytes VideoTrack(const std::string& codecId, std::uint32_t width, std::uint32_t height,
                 std::uint64_t defaultDuration, std::uint64_t uid) {
    return TrackEntry(1,
                      {Uint(0xD7, 1), Uint(0x73C5, uid), Text(0x86, codecId), Uint(0x23E383, defaultDuration),
                       Master(0xE0, {Uint(0xB0, width), Uint(0xBA, height)})});
}

Bytes AudioTrack(const std::string& codecId, double samplingFrequency, std::uint64_t channels,
                 std::uint64_t uid) {
    return TrackEntry(2, {Uint(0xD7, 2), Uint(0x73C5, uid), Text(0x86, codecId),
                          Master(0xE1, {Float(0xB5, samplingFrequency), Uint(0x9F, channels)})});
}

// ffmpeg starts each section with a CRC-32 element.
Bytes Crc32() {
    return Element(0xBF, Bytes("\x12\x34\x56\x78", 4));
}

Bytes FilmInfo(const std::string& title, double durationMs) {
    return Master(InfoId, {Crc32(), Uint(0x2AD7B1, 1'000'000), Text(0x4D80, "libebml"),
                           Text(0x5741, "mkvmerge"), Float(0x4489, durationMs), Text(0x7BA9, title)});
}

Bytes FilmTracks() {
    return Master(TracksId, {Crc32(), VideoTrack(), Void(8), AudioTrack()});
}

Bytes FilmTags() {
    return Master(TagsId, {Crc32(),
                           Tag({}, {SimpleTag("TITLE", "Tag Title"), SimpleTag("ARTIST", "Someone"),
                                    SimpleTag("COPYRIGHT", "(c) 2024"), SimpleTag("GENRE", "Drama"),
                                    SimpleTag("ENCODER", "Lavf")}),
                           Tag({Uint(0x63C5, 11)}, {SimpleTag("BPS", "900000")})});
}

Bytes MatroskaParts::whole() const {
    return front + Bytes(static_cast<std::size_t>(tailAt - front.size()), '\0') + tail;
}

MatroskaParts BuildMatroska(const MatroskaRecipe& recipe) {
    const Bytes info = recipe.info.empty() ? FilmInfo() : recipe.info;
    const Bytes tracks = recipe.tracks.empty() ? FilmTracks() : recipe.tracks;
    const Bytes tags = recipe.tags.empty() ? FilmTags() : recipe.tags;
    const Bytes cues =
        Master(CuesId, {Master(0xBB, {Uint(0xB3, 0), Master(0xB7, {Uint(0xF7, 1), Uint(0xF1, 0)})})});
    struct Section {
        std::uint64_t id;
        const Bytes& bytes;
        Where where;
    };
    const std::vector<Section> sections = {
        {InfoId, info, recipe.infoAt}, {TracksId, tracks, recipe.tracksAt}, {TagsId, tags, recipe.tagsAt}};

    // Every Seek has an 8-byte position, so the SeekHeads' sizes do not depend on the places.
    const auto seekHeadFor = [&](const std::vector<std::pair<std::uint64_t, std::uint64_t>>& places) {
        std::vector<Bytes> seeks;
        for (const auto& [id, position] : places) seeks.push_back(Seek(id, position));
        return Master(SeekHeadId, seeks);
    };
    std::vector<std::pair<std::uint64_t, std::uint64_t>> named;  // the sections the last SeekHead names
    for (const auto& section : sections) named.emplace_back(section.id, 0);
    if (recipe.seekHeadNamesCues) named.emplace_back(CuesId, 0);
    const std::uint64_t lastSeekHeadSize = seekHeadFor(named).size();
    const std::uint64_t frontSeekHeadSize = !recipe.seekHead        ? 0
                                            : recipe.secondSeekHead ? seekHeadFor({{SeekHeadId, 0}}).size()
                                                                    : lastSeekHeadSize;

    // Positions from the Segment's payload.
    std::uint64_t at = frontSeekHeadSize + recipe.voidAfterSeekHead + recipe.voidBeforeSections;
    const auto junkBefore = [&](std::uint64_t id) {
        return id == TracksId ? recipe.junkBeforeTracks.size() : 0;
    };
    const auto place = [&](std::uint64_t id, std::uint64_t size) {
        for (auto& [namedId, position] : named) {
            if (namedId == id) position = at;
        }
        at += size;
    };
    for (const auto& section : sections) {
        if (section.where == Where::Front) {
            at += junkBefore(section.id);
            place(section.id, section.bytes.size());
        }
    }
    if (recipe.cuesBeforeClusters) place(CuesId, cues.size());
    const Bytes clusterHeader =
        Id(ClusterId) + (recipe.unknownClusterSize ? UnknownSize(8) : Size(recipe.mediaBytes, 8));
    at += clusterHeader.size() + recipe.mediaBytes;
    const std::uint64_t secondSeekHeadAt = at;
    if (recipe.secondSeekHead) at += lastSeekHeadSize;
    if (!recipe.cuesBeforeClusters) place(CuesId, cues.size());
    for (const auto& section : sections) {
        if (section.where == Where::End) place(section.id, section.bytes.size());
    }
    const std::uint64_t segmentSize = at;

    MatroskaParts parts;
    parts.front = recipe.ebmlHeader + Id(SegmentId) +
                  (recipe.unknownSegmentSize ? UnknownSize(8) : Size(segmentSize, 8));
    if (recipe.seekHead)
        parts.front +=
            recipe.secondSeekHead ? seekHeadFor({{SeekHeadId, secondSeekHeadAt}}) : seekHeadFor(named);
    if (recipe.voidAfterSeekHead > 0) parts.front += Void(recipe.voidAfterSeekHead);
    if (recipe.voidBeforeSections > 0) parts.front += Void(recipe.voidBeforeSections);
    for (const auto& section : sections) {
        if (section.where == Where::Front)
            parts.front += recipe.junkBeforeTracks.substr(0, junkBefore(section.id)) + section.bytes;
    }
    if (recipe.cuesBeforeClusters) parts.front += cues;
    parts.front += clusterHeader + recipe.clusterStart;
    parts.tailAt = parts.front.size() - recipe.clusterStart.size() + recipe.mediaBytes;
    if (recipe.secondSeekHead) parts.tail += seekHeadFor(named);
    if (!recipe.cuesBeforeClusters) parts.tail += cues;
    for (const auto& section : sections) {
        if (section.where == Where::End) parts.tail += section.bytes;
    }
    return parts;
}

}  // namespace ebml

}  // namespace discstart
