#include "media/ogg/ogg_streams.h"

#include <algorithm>
#include <string_view>

namespace discstart {

namespace Ogg {

namespace {

constexpr std::uint64_t PageHeaderSize = 27;
constexpr std::uint8_t FirstPageFlag = 2;
constexpr std::uint64_t NoGranule = ~std::uint64_t{0};
// More streams than any film has; the walk stops there whatever the pages say.
constexpr int MaxStreams = 16;

struct PageHeader {
    std::uint8_t flags = 0;
    std::uint64_t granule = 0;
    std::uint32_t serial = 0;
    std::uint64_t packet = 0;  // where the page's first packet starts
    std::uint64_t next = 0;    // where the next page starts
};

std::uint64_t Uint64At(const ByteWindow& bytes, std::uint64_t offset) {
    return std::uint64_t{bytes.uint32At(offset)} | std::uint64_t{bytes.uint32At(offset + 4)} << 32;
}

// The page whose header and lacing values `bytes` holds at `offset`.
std::optional<PageHeader> PageAt(const ByteWindow& bytes, std::uint64_t offset) {
    if (!bytes.holds(offset, PageHeaderSize) || bytes.textAt(offset, 4) != "OggS" ||
        bytes.byteAt(offset + 4) != 0)
        return std::nullopt;
    const std::uint64_t segments = bytes.byteAt(offset + 26);
    if (!bytes.holds(offset + PageHeaderSize, segments)) return std::nullopt;
    PageHeader page;
    page.flags = bytes.byteAt(offset + 5);
    page.granule = Uint64At(bytes, offset + 6);
    page.serial = bytes.uint32At(offset + 14);
    page.packet = offset + PageHeaderSize + segments;
    page.next = page.packet;
    for (std::uint64_t i = 0; i < segments; ++i) page.next += bytes.byteAt(offset + PageHeaderSize + i);
    return page;
}

bool Starts(const ByteWindow& bytes, std::uint64_t offset, std::string_view magic) {
    return bytes.holds(offset, magic.size()) && bytes.textAt(offset, magic.size()) == magic;
}

// OGM's stream headers are header packets (type 1) like Vorbis's identification header.
bool IsOgmHeader(const ByteWindow& bytes, std::uint64_t packet) {
    return bytes.holds(packet, 1) && bytes.byteAt(packet) == 1 && !Starts(bytes, packet, "\x01vorbis");
}

enum class Codec { Other, Skeleton, Theora, Vorbis, Opus, Flac, Speex };

struct Stream {
    std::uint32_t serial = 0;
    Codec codec = Codec::Other;
    TrackFacts track;
    // How the granule position counts: Theora's keyframe shift and its frame duration, the
    // others' samples per second (and Opus's samples to skip at the start).
    int keyframeShift = 0;
    bool countsFromZero = false;  // Theora before 3.2.1
    double granulesPerSecond = 0;
    std::uint64_t preSkip = 0;
};

std::uint32_t Uint24BeAt(const ByteWindow& bytes, std::uint64_t offset) {
    return std::uint32_t{bytes.byteAt(offset)} << 16 | std::uint32_t{bytes.uint16BeAt(offset + 1)};
}

void ReadTheora(const ByteWindow& h, std::uint64_t p, Stream& s) {
    s.codec = Codec::Theora;
    s.track.codecId = "theora";
    const std::uint32_t version = Uint24BeAt(h, p + 7);
    const std::uint32_t codedWidth = std::uint32_t{h.uint16BeAt(p + 10)} * 16;
    const std::uint32_t codedHeight = std::uint32_t{h.uint16BeAt(p + 12)} * 16;
    const std::uint32_t pictureWidth = Uint24BeAt(h, p + 14);
    const std::uint32_t pictureHeight = Uint24BeAt(h, p + 17);
    // The picture region where it lies within the last macroblock of the coded frame, as
    // ffprobe reports it; the coded frame otherwise.
    const bool picture = pictureWidth <= codedWidth && pictureWidth + 16 > codedWidth &&
                         pictureHeight <= codedHeight && pictureHeight + 16 > codedHeight;
    s.track.width = picture ? pictureWidth : codedWidth;
    s.track.height = picture ? pictureHeight : codedHeight;
    const std::uint32_t numerator = h.uint32BeAt(p + 22);
    const std::uint32_t denominator = h.uint32BeAt(p + 26);
    if (numerator != 0 && denominator != 0) {
        s.track.framesPerSecond = double(numerator) / denominator;
        s.granulesPerSecond = s.track.framesPerSecond;
    }
    s.track.bitrate = Uint24BeAt(h, p + 37);
    s.keyframeShift = (h.byteAt(p + 40) & 0x03) << 3 | h.byteAt(p + 41) >> 5;
    s.countsFromZero = version < 0x030201;
}

void ReadVorbis(const ByteWindow& h, std::uint64_t p, Stream& s) {
    s.codec = Codec::Vorbis;
    s.track.codecId = "vorbis";
    s.track.channels = h.byteAt(p + 11);
    s.track.sampleRate = h.uint32At(p + 12);
    const std::int32_t nominal = h.int32At(p + 20);
    if (nominal > 0) s.track.bitrate = std::uint32_t(nominal);
    s.granulesPerSecond = s.track.sampleRate;
}

// Opus always decodes at 48 kHz whatever rate its input had, and counts its granules so.
void ReadOpus(const ByteWindow& h, std::uint64_t p, Stream& s) {
    s.codec = Codec::Opus;
    s.track.codecId = "OpusHead";
    s.track.channels = h.byteAt(p + 9);
    s.track.sampleRate = 48000;
    s.preSkip = h.uint16At(p + 10);
    s.granulesPerSecond = 48000;
}

// The mapping header, the native "fLaC" and STREAMINFO's block header come first.
void ReadFlac(const ByteWindow& h, std::uint64_t p, Stream& s) {
    s.codec = Codec::Flac;
    s.track.codecId = "FLAC";
    if (!Starts(h, p + 9, "fLaC")) return;
    const std::uint64_t info = p + 17;
    s.track.sampleRate = std::uint32_t{h.uint16BeAt(info + 10)} << 4 | h.byteAt(info + 12) >> 4;
    s.track.channels = ((h.byteAt(info + 12) >> 1) & 0x07) + 1;
    s.granulesPerSecond = s.track.sampleRate;
}

void ReadSpeex(const ByteWindow& h, std::uint64_t p, Stream& s) {
    s.codec = Codec::Speex;
    s.track.codecId = "Speex";
    s.track.sampleRate = h.uint32At(p + 36);
    s.track.channels = h.uint32At(p + 48);
    const std::int32_t bitrate = h.int32At(p + 52);
    if (bitrate > 0) s.track.bitrate = std::uint32_t(bitrate);
    s.granulesPerSecond = s.track.sampleRate;
}

// What the first packet of a stream says it is; a header cut off by the end of `h` gives zeros.
Stream Identify(const ByteWindow& h, const PageHeader& page) {
    Stream s;
    s.serial = page.serial;
    const std::uint64_t p = page.packet;
    if (Starts(h, p, "\x80theora")) ReadTheora(h, p, s);
    if (Starts(h, p, "\x01vorbis")) ReadVorbis(h, p, s);
    if (Starts(h, p, "OpusHead")) ReadOpus(h, p, s);
    if (Starts(h, p,
               "\x7f"
               "FLAC"))
        ReadFlac(h, p, s);
    if (Starts(h, p, "Speex   ")) ReadSpeex(h, p, s);
    if (Starts(h, p, std::string_view("fishead\0", 8))) s.codec = Codec::Skeleton;
    return s;
}

// The stream's length in seconds at `granule`; nothing where it does not count time.
std::optional<double> SecondsAt(const Stream& s, std::uint64_t granule) {
    if (granule == NoGranule || !(s.granulesPerSecond > 0)) return std::nullopt;
    if (s.codec == Codec::Theora) {
        const int shift = s.keyframeShift;
        const std::uint64_t frames =
            (granule >> shift) + (granule & ((std::uint64_t{1} << shift) - 1)) + (s.countsFromZero ? 1 : 0);
        return double(frames) / s.granulesPerSecond;
    }
    if (granule < s.preSkip) return std::nullopt;
    return double(granule - s.preSkip) / s.granulesPerSecond;
}

// The longest of the described streams, from the last page of each in the file's last bytes.
double LengthFromTail(const ByteWindow& tail, const std::vector<Stream>& streams) {
    double longest = 0;
    std::vector<bool> timed(streams.size(), false);
    for (std::uint64_t at = tail.end(); at-- > tail.base();) {
        if (tail.byteAt(at) != 'O') continue;
        const auto page = PageAt(tail, at);
        if (!page) continue;
        for (std::size_t i = 0; i < streams.size(); ++i) {
            if (timed[i] || streams[i].serial != page->serial) continue;
            const auto seconds = SecondsAt(streams[i], page->granule);
            if (!seconds) continue;
            timed[i] = true;
            longest = std::max(longest, *seconds);
        }
        if (std::find(timed.begin(), timed.end(), false) == timed.end()) break;
    }
    return longest;
}

}  // namespace

bool IsStandardOgg(const ByteWindow& head) {
    const auto page = PageAt(head, 0);
    return page && (page->flags & FirstPageFlag) && head.holds(page->packet, 1) &&
           !IsOgmHeader(head, page->packet);
}

void ReadOggStreams(ByteFile& file, const ByteWindow& head, std::optional<std::int64_t> fileLength,
                    ContainerInfo& film, std::vector<RefusedFact>* refused) {
    film.brand = "ogg";
    // Every stream's first page comes before any other page.
    std::vector<Stream> described;
    std::uint64_t at = 0;
    for (int n = 0; n < MaxStreams; ++n) {
        const auto page = PageAt(head, at);
        if (!page || !(page->flags & FirstPageFlag)) break;
        const Stream stream = Identify(head, *page);
        const bool video = stream.codec == Codec::Theora;
        const bool audio = stream.codec != Codec::Other && stream.codec != Codec::Skeleton && !video;
        if ((video && !film.video) || (audio && !film.audio)) {
            (video ? film.video : film.audio) = stream.track;
            described.push_back(stream);
        }
        at = page->next;
    }
    if (!described.empty() && fileLength && *fileLength > 0) {
        const std::uint64_t end = std::uint64_t(*fileLength);
        const std::uint64_t tailStart = end > TailBlock ? end - TailBlock : 0;
        const ByteWindow tail =
            head.end() >= end ? head : ByteWindow::Read(file, tailStart, std::size_t(end - tailStart));
        film.durationSeconds = LengthFromTail(tail, described);
    }
    film.refused = KeepPlausible(film, MovieFileKind::Ogg);
    if (refused) *refused = film.refused;
}

}  // namespace Ogg

}  // namespace discstart
