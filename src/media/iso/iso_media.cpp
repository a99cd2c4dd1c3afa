#include <algorithm>
#include <optional>

#include "media/container.h"
#include "media/iso/boxes.h"
#include "media/iso/sample_entry.h"
#include "media/iso/user_data.h"

namespace discstart {

namespace {

using Iso::Box;
using Iso::BoxFile;
using Iso::Payload;

// Top-level boxes walked on the way to moov: an old QuickTime file may lead with a few wide,
// free and skip boxes, a fragmented one with moof and mdat pairs.
constexpr int MaxTopLevelBoxes = 64;
// stts entries looked at for the frame rate: a film made at a constant rate has one or two.
constexpr std::uint64_t MaxTimeEntries = 64;

// A time scale (units a second) and a duration in those units, from mvhd or mdhd.
struct Timing {
    std::uint32_t timescale = 0;
    std::uint64_t duration = 0;

    double seconds() const { return timescale ? static_cast<double>(duration) / timescale : 0; }
};

// mvhd and mdhd share their start: version and flags, creation and modification times (64-bit
// in version 1), the time scale, the duration; all ones means the duration is not known.
Timing ReadTiming(BoxFile& boxes, const Box& box) {
    constexpr std::uint64_t longest = 32;
    const Payload bytes = boxes.payload(box, longest);
    Timing timing;
    if (bytes.u8(0) == 0 && bytes.fits(16, 4)) {
        timing = {bytes.u32(12), bytes.u32(16)};
        if (timing.duration == 0xFFFFFFFFu) timing.duration = 0;
    } else if (bytes.u8(0) == 1 && bytes.fits(24, 8)) {
        timing = {bytes.u32(20), bytes.u64(24)};
        if (timing.duration == ~std::uint64_t{0}) timing.duration = 0;
    }
    return timing;
}

// mehd: the duration of the whole fragmented film in the movie's time scale.
std::uint64_t ReadFragmentDuration(BoxFile& boxes, const Box& mehd) {
    const Payload bytes = boxes.payload(mehd, 12);
    if (bytes.u8(0) == 1) return bytes.fits(4, 8) ? bytes.u64(4) : 0;
    return bytes.fits(4, 4) ? bytes.u32(4) : 0;
}

// stts lists runs of samples of one duration. A film made at a constant rate has one run (and
// perhaps a short last one), so the rate is the time scale over the duration of the run that
// covers most samples among the first MaxTimeEntries; the rest of a long table is not read.
double ReadFrameRate(BoxFile& boxes, const Box& stts, std::uint32_t timescale) {
    constexpr std::uint64_t first = 8;
    constexpr std::uint64_t entrySize = 8;
    const Payload bytes = boxes.payload(stts, first + MaxTimeEntries * entrySize);
    const std::uint64_t entries = std::min<std::uint64_t>(bytes.u32(4), MaxTimeEntries);
    std::uint32_t mostSamples = 0;
    std::uint32_t delta = 0;
    for (std::uint64_t i = 0; i < entries && bytes.fits(first + i * entrySize, entrySize); ++i) {
        const std::uint32_t count = bytes.u32(first + i * entrySize);
        const std::uint32_t duration = bytes.u32(first + i * entrySize + 4);
        if (duration != 0 && count > mostSamples) {
            mostSamples = count;
            delta = duration;
        }
    }
    return delta && timescale ? static_cast<double>(timescale) / delta : 0;
}

// The first box of `type` among the children of `parent`.
std::optional<Box> ChildOf(BoxFile& boxes, const Box& parent, const char* type) {
    std::optional<Box> found;
    boxes.children(parent, 0, [&](const Box& child) {
        if (child.type == type) found = child;
        return !found;
    });
    return found;
}

struct MovieReading {
    Timing movie;
    std::uint64_t fragmentDuration = 0;
    double longestTrack = 0;  // of the video and sound tracks described
};

// A trak: its handler says whether it is the first video or sound track; only then are its media
// header, sample entry and sample durations read. The walk stops at the box it needs, so the
// sample tables behind it are never reached.
void ReadTrack(BoxFile& boxes, const Box& trak, ContainerInfo& info, MovieReading& movie) {
    const auto mdia = ChildOf(boxes, trak, "mdia");
    if (!mdia) return;
    std::optional<Box> mdhd, hdlr, minf;
    boxes.children(*mdia, 0, [&](const Box& child) {
        if (child.type == "mdhd" && !mdhd) mdhd = child;
        if (child.type == "hdlr" && !hdlr) hdlr = child;
        if (child.type == "minf" && !minf) minf = child;
        return !(mdhd && hdlr && minf);
    });
    if (!hdlr) return;
    const std::string handler = boxes.payload(*hdlr, 12).text(8, 4);
    const bool video = handler == "vide";
    std::optional<TrackFacts>& track = video ? info.video : info.audio;
    if ((!video && handler != "soun") || track) return;

    const Timing timing = mdhd ? ReadTiming(boxes, *mdhd) : Timing{};
    movie.longestTrack = std::max(movie.longestTrack, timing.seconds());
    TrackFacts facts;
    if (const auto stbl = minf ? ChildOf(boxes, *minf, "stbl") : std::nullopt) {
        std::optional<Box> stsd, stts;
        boxes.children(*stbl, 0, [&](const Box& child) {
            if (child.type == "stsd" && !stsd) stsd = child;
            if (child.type == "stts" && !stts) stts = child;
            return !(stsd && stts);
        });
        if (stsd)
            Iso::ReadSampleEntry(boxes, *stsd, {video, info.brand.empty() || info.brand == "qt  "}, facts);
        if (stts && video) facts.framesPerSecond = ReadFrameRate(boxes, *stts, timing.timescale);
    }
    track = std::move(facts);
}

void ReadMovie(BoxFile& boxes, const Box& moov, ContainerInfo& info) {
    MovieReading movie;
    boxes.children(moov, 0, [&](const Box& child) {
        if (child.type == "mvhd") {
            movie.movie = ReadTiming(boxes, child);
        } else if (child.type == "trak") {
            if (!info.video || !info.audio) ReadTrack(boxes, child, info, movie);
        } else if (child.type == "mvex") {
            info.fragmented = true;
            if (const auto mehd = ChildOf(boxes, child, "mehd")) {
                movie.fragmentDuration = ReadFragmentDuration(boxes, *mehd);
            }
        } else if (child.type == "udta") {
            Iso::ReadUserData(boxes, child, info.tags);
        }
        return true;
    });
    // The moov of a fragmented film describes its first fragment at most; only mehd gives the
    // whole length, and without it the length is left unknown.
    if (info.fragmented) {
        const Timing whole{movie.movie.timescale, movie.fragmentDuration};
        info.durationSeconds = whole.seconds();
    } else {
        info.durationSeconds = movie.movie.duration ? movie.movie.seconds() : movie.longestTrack;
    }
}

}  // namespace

void ReadIsoMedia(ByteFile& file, const ByteWindow& head, ContainerInfo& info) {
    BoxFile boxes(file, head);
    std::uint64_t offset = 0;
    bool mediaSeen = false;
    for (int i = 0; i < MaxTopLevelBoxes; ++i) {
        const auto box = boxes.boxAt(offset, Iso::NoEnd);
        if (!box) return;
        if (box->type == "ftyp" && info.brand.empty()) {
            const Payload brand = boxes.payload(*box, 4);
            if (brand.fits(0, 4)) info.brand = brand.text(0, 4);
        } else if (box->type == "mdat") {
            mediaSeen = true;  // skipped by its size, never read
        } else if (box->type == "moof") {
            info.fragmented = true;
        } else if (box->type == "moov") {
            info.indexAfterMedia = mediaSeen;
            ReadMovie(boxes, *box, info);
            return;
        }
        offset = box->end;
    }
}

}  // namespace discstart
