#include "media/ogg/ogg_streams.h"

#include <algorithm>
#include <string_view>

#include "media/ogg/ogg_pages.h"

namespace discstart {

namespace Ogg {

namespace {

constexpr std::uint8_t FirstPageFlag = 2;
constexpr std::uint64_t NoGranule = ~std::uint64_t{0};
// More streams than any film has; the walk stops there whatever the pages say.
constexpr int MaxStreams = 16;

// A page of the one version the format defines, whose header and lacing values `bytes` holds.
std::optional<OggPageHeader> PageAt(const ByteWindow& bytes, std::uint64_t offset) {
    auto page = ParseOggPage(bytes, offset);
    if (page && page->version != 0) return std::nullopt;
    return page;
}

bool Starts(const ByteWindow& bytes, std::uint64_t offset, std::string_view magic) {
    return bytes.holds(offset, magic.size()) && bytes.textAt(offset, magic.size()) == magic;
}

// OGM's stream headers are header packets (type 1) like Vorbis's identification header.
bool IsOgmHeader(const ByteWindow& bytes, std::uint64_t packet) {
    return bytes.holds(packet, 1) && bytes.byteAt(packet) == 1 &&
           !IsVorbisIdentification(bytes.textAt(packet, 7));
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

// A sound stream counts its granules in samples at its rate; a bitrate of zero or less is none
// stored.
void Sound(Stream& s, Codec codec, const char* codecId, std::uint32_t channels, std::uint32_t rate,
           std::int32_t bitrate) {
    s.codec = codec;
    s.track.codecId = codecId;
    s.track.channels = channels;
    s.track.sampleRate = rate;
    if (bitrate > 0) s.track.bitrate = std::uint32_t(bitrate);
    s.granulesPerSecond = rate;
}

void ReadVorbis(const ByteWindow& h, std::uint64_t p, Stream& s) {
    Sound(s, Codec::Vorbis, "vorbis", h.byteAt(p + 11), h.uint32At(p + 12), h.int32At(p + 20));
}

// Opus always decodes at 48 kHz whatever rate its input had, and counts its granules so.
void ReadOpus(const ByteWindow& h, std::uint64_t p, Stream& s) {
    Sound(s, Codec::Opus, "OpusHead", h.byteAt(p + 9), 48000, 0);
    s.preSkip = h.uint16At(p + 10);
}

// The mapping header, the native "fLaC" and STREAMINFO's block header come first.
void ReadFlac(const ByteWindow& h, std::uint64_t p, Stream& s) {
    const std::uint64_t info = p + 17;
    const bool native = Starts(h, p + 9, "fLaC");
    const std::uint32_t rate = std::uint32_t{h.uint16BeAt(info + 10)} << 4 | h.byteAt(info + 12) >> 4;
    const std::uint32_t channels = ((h.byteAt(info + 12) >> 1) & 0x07) + 1;
    Sound(s, Codec::Flac, "FLAC", native ? channels : 0, native ? rate : 0, 0);
}

void ReadSpeex(const ByteWindow& h, std::uint64_t p, Stream& s) {
    Sound(s, Codec::Speex, "Speex", h.uint32At(p + 48), h.uint32At(p + 36), h.int32At(p + 52));
}

// What the first packet of a stream says it is; a header cut off by the end of `h` gives zeros.
Stream Identify(const ByteWindow& h, const OggPageHeader& page) {
    Stream s;
    s.serial = page.serial;
    const std::uint64_t p = page.bodyOffset;
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
    return page && (page->headerType & FirstPageFlag) && head.holds(page->bodyOffset, 1) &&
           !IsOgmHeader(head, page->bodyOffset);
}

void ReadOggStreams(ByteFile& file, const ByteWindow& head, std::optional<std::int64_t> fileLength,
                    ContainerInfo& film, std::vector<RefusedFact>* refused) {
    film.brand = "ogg";
    // Every stream's first page comes before any other page.
    std::vector<Stream> described;
    std::uint64_t at = 0;
    for (int n = 0; n < MaxStreams; ++n) {
        const auto page = PageAt(head, at);
        if (!page || !(page->headerType & FirstPageFlag)) break;
        const Stream stream = Identify(head, *page);
        const bool video = stream.codec == Codec::Theora;
        const bool audio = stream.codec != Codec::Other && stream.codec != Codec::Skeleton && !video;
        if ((video && !film.video) || (audio && !film.audio)) {
            (video ? film.video : film.audio) = stream.track;
            described.push_back(stream);
        }
        at = page->next();
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
