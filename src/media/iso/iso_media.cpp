#include <algorithm>
#include <optional>

#include "media/container.h"
#include "media/iso/boxes.h"
#include "media/iso/fragments.h"
#include "media/iso/sample_entry.h"
#include "media/iso/user_data.h"

namespace discstart {

namespace {

using Iso::Box;
using Iso::BoxFile;
using Iso::Payload;
using Iso::Runs;
using Iso::TrackClock;

// Top-level boxes walked on the way to moov: an old QuickTime file may lead with a few wide,
// free and skip boxes, a fragmented one with moof and mdat pairs.
constexpr int MaxTopLevelBoxes = 64;
// The stts read for the frame rate: 64 KiB hold 8191 runs, more than a film of changing rates
// has in its first hours; a film made at a constant rate has one or two.
constexpr std::uint64_t MaxTimeTableBytes = Iso::LongWindow;

// A time scale (units a second) and a duration in those units, from mvhd or mdhd.
struct Timing {
    std::uint32_t timescale = 0;
    std::uint64_t duration = 0;

    // No time scale gives no length.
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
    std::uint64_t at = 4;
    const std::uint64_t duration = Iso::VersionedField(bytes, at);
    return bytes.fits(0, at) ? duration : 0;
}

// stts lists runs of samples of one duration, read up to MaxTimeTableBytes in one read; the
// runs of a longer table past that are not counted.
double ReadFrameRate(BoxFile& boxes, const Box& stts, std::uint32_t timescale) {
    constexpr std::uint64_t first = 8;
    constexpr std::uint64_t entrySize = 8;
    const Payload bytes = boxes.payload(stts, MaxTimeTableBytes);
    const std::uint64_t entries = bytes.u32(4);
    Runs runs;
    for (std::uint64_t i = 0; i < entries && bytes.fits(first + i * entrySize, entrySize); ++i) {
        runs.add(bytes.u32(first + i * entrySize), bytes.u32(first + i * entrySize + 4));
    }
    return runs.rate(timescale);
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
    std::vector<TrackClock> tracks;

    // mvhd's where it has a time scale and a known duration, else the longest track's.
    double moovLength() const { return movie.timescale && movie.duration ? movie.seconds() : longestTrack; }

    TrackClock* track(std::uint32_t id) {
        for (TrackClock& clock : tracks) {
            if (clock.id == id) return &clock;
        }
        return nullptr;
    }
};

// A trak: its handler says whether it is the first video or sound track; only then are its media
// header, sample entry and sample durations read. The walk stops at the box it needs, so the
// sample tables behind it are never reached.
void ReadTrack(BoxFile& boxes, const Box& trak, ContainerInfo& info, MovieReading& movie) {
    std::optional<Box> tkhd, mdia;
    boxes.children(trak, 0, [&](const Box& child) {
        if (child.type == "tkhd" && !tkhd) tkhd = child;
        if (child.type == "mdia" && !mdia) mdia = child;
        return !mdia;
    });
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
    if (tkhd) {
        // track_ID after the creation and modification times
        const Payload header = boxes.payload(*tkhd, 24);
        const std::uint32_t id = header.u8(0) == 1 ? header.u32(20) : header.u32(12);
        if (id != 0) movie.tracks.push_back({id, video, timing.timescale, 0});
    }
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

// mvex: mehd's length, and each track's default sample duration from its trex.
void ReadMovieExtends(BoxFile& boxes, const Box& mvex, MovieReading& movie) {
    boxes.children(mvex, 0, [&](const Box& child) {
        if (child.type == "mehd") movie.fragmentDuration = ReadFragmentDuration(boxes, child);
        if (child.type == "trex") {
            const Payload trex = boxes.payload(child, 16);
            if (TrackClock* clock = movie.track(trex.u32(4))) clock->defaultDuration = trex.u32(12);
        }
        return true;
    });
}

void ReadMovie(BoxFile& boxes, const Box& moov, ContainerInfo& info, MovieReading& movie) {
    std::optional<Box> mvex;
    boxes.children(moov, 0, [&](const Box& child) {
        if (child.type == "mvhd") {
            movie.movie = ReadTiming(boxes, child);
        } else if (child.type == "trak") {
            if (!info.video || !info.audio) ReadTrack(boxes, child, info, movie);
        } else if (child.type == "mvex") {
            info.fragmented = true;
            if (!mvex) mvex = child;
        } else if (child.type == "udta") {
            Iso::ReadUserData(boxes, child, info.tags);
        }
        return true;
    });
    // Read once the tracks are known, wherever it lies among them: its trex name them.
    if (mvex) ReadMovieExtends(boxes, *mvex, movie);
}

}  // namespace

void ReadIsoMedia(ByteFile& file, const ByteWindow& head, ContainerInfo& info, std::uint64_t fileLength) {
    BoxFile boxes(file, head);
    MovieReading movie;
    Iso::FragmentLayout layout;
    std::optional<Box> moov;
    std::uint64_t offset = 0;
    bool mediaSeen = false;
    for (int i = 0; i < MaxTopLevelBoxes; ++i) {
        // Past moov only what is read already: the sidx boxes and first moofs that follow it.
        const bool enough = layout.firstMoofs.size() == Iso::MaxFirstFragments;
        if (moov && (!info.fragmented || enough)) break;
        if (moov && !boxes.held(offset, 16)) {
            layout.unreadFrom = offset;
            break;
        }
        const auto box = boxes.boxAt(offset, Iso::NoEnd);
        if (!box) break;
        if (box->type == "ftyp" && info.brand.empty()) {
            const Payload brand = boxes.payload(*box, 4);
            if (brand.fits(0, 4)) info.brand = brand.text(0, 4);
        } else if (box->type == "mdat") {
            mediaSeen = true;  // skipped by its size, never read
        } else if (box->type == "moof") {
            info.fragmented = true;
            layout.moofSeen = true;
            if (moov) layout.firstMoofs.push_back(*box);
        } else if (box->type == "sidx") {
            if (layout.sidx.empty() || layout.sidx.back().end == box->start) layout.sidx.push_back(*box);
        } else if (box->type == "moov" && !moov) {
            info.indexAfterMedia = mediaSeen;
            ReadMovie(boxes, *box, info, movie);
            moov = box;
        }
        offset = box->end;
    }
    if (!moov) return;
    // The moov of a fragmented film describes the samples before its first fragment at most:
    // ffmpeg's frag_keyframe gives 1 s of a 6 s film there.
    if (!info.fragmented) {
        info.durationSeconds = movie.moovLength();
    } else if (movie.fragmentDuration && movie.movie.timescale) {
        info.durationSeconds = Timing{movie.movie.timescale, movie.fragmentDuration}.seconds();
    } else {
        info.durationSeconds =
            Iso::FragmentedLength(boxes, layout, fileLength, movie.tracks, movie.moovLength());
    }
    if (info.fragmented && info.video && info.video->framesPerSecond == 0) {
        info.video->framesPerSecond = Iso::FragmentedFrameRate(boxes, layout, movie.tracks);
    }
}

}  // namespace discstart
