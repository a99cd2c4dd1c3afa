#include "media/iso/fragments.h"

#include <algorithm>
#include <optional>
#include <string>

namespace discstart {

namespace Iso {

namespace {

// The end of the file read for a fragmented film's length: its mfro, most mfra boxes whole and
// the last fragment of a short film.
constexpr std::uint64_t TailBytes = LongWindow;
// Boxes followed from a last moof to the end of the media: its mdat, and what muxers put between.
constexpr int MaxFollowingBoxes = 64;

TrackClock* FindTrack(std::vector<TrackClock>& tracks, std::uint32_t id) {
    for (TrackClock& clock : tracks) {
        if (clock.id == id) return &clock;
    }
    return nullptr;
}

// What one traf adds: its track, the decode time it starts at (tfdt), its samples' durations.
struct TrackFragment {
    TrackClock* track = nullptr;
    std::optional<std::uint64_t> start;
    Runs runs;
    bool whole = true;  // every sample's duration was read
};

TrackFragment ReadTrackFragment(BoxFile& boxes, const Box& traf, std::vector<TrackClock>& tracks) {
    TrackFragment fragment;
    std::uint32_t defaultDuration = 0;
    boxes.children(traf, 0, [&](const Box& child) {
        if (child.type == "tfhd") {
            const Payload tfhd = boxes.payload(child, 28);
            const std::uint32_t flags = tfhd.u32(0);
            fragment.track = FindTrack(tracks, tfhd.u32(4));
            if (fragment.track) defaultDuration = fragment.track->defaultDuration;
            // base-data-offset (8 bytes) and sample-description-index (4) come first
            const std::uint64_t at = 8 + (flags & 0x01 ? 8 : 0) + (flags & 0x02 ? 4 : 0);
            if (flags & 0x08) defaultDuration = tfhd.u32(at);
        } else if (child.type == "tfdt") {
            const Payload tfdt = boxes.payload(child, 12);
            std::uint64_t at = 4;
            const std::uint64_t start = VersionedField(tfdt, at);
            if (tfdt.fits(0, at)) fragment.start = start;
        } else if (child.type == "trun") {
            const Payload trun = boxes.payload(child, LongWindow);
            const std::uint32_t flags = trun.u32(0);
            const std::uint64_t count = trun.u32(4);
            if (!trun.fits(0, 8)) fragment.whole = false;
            if (!(flags & 0x100)) {
                if (defaultDuration == 0 && count != 0) fragment.whole = false;
                fragment.runs.add(count, defaultDuration);
                return true;
            }
            // data-offset and first-sample-flags, then per sample the fields its flags name
            const std::uint64_t first = 8 + (flags & 0x01 ? 4 : 0) + (flags & 0x04 ? 4 : 0);
            const std::uint64_t stride = std::uint64_t{4} * ((flags >> 8 & 1) + (flags >> 9 & 1) +
                                                             (flags >> 10 & 1) + (flags >> 11 & 1));
            for (std::uint64_t i = 0; i < count; ++i) {
                if (!trun.fits(first + i * stride, 4)) {
                    fragment.whole = false;
                    break;
                }
                fragment.runs.add(1, trun.u32(first + i * stride));
            }
        }
        return true;
    });
    return fragment;
}

// A sidx: the time its references cover from the film's start, and where the media they cover
// ends. A film's index covers all of its media; ffmpeg's dash mode writes one for each fragment.
struct SegmentIndex {
    double seconds = 0;
    std::uint64_t end = 0;
};

// A sidx larger than a window (a two-hour film's, of every fragment) is left for the last fragment,
// which costs no more reads.
SegmentIndex ReadSegmentIndex(BoxFile& boxes, const Box& sidx) {
    if (sidx.payloadSize() > WindowSize && !boxes.held(sidx.payload, sidx.payloadSize())) return {};
    const Payload bytes = boxes.payload(sidx, LongWindow);
    const std::uint32_t timescale = bytes.u32(8);
    std::uint64_t at = 12;
    const std::uint64_t earliest = VersionedField(bytes, at);
    const std::uint64_t firstOffset = VersionedField(bytes, at);
    const std::uint64_t count = bytes.u16(at + 2);
    at += 4;
    if (!bytes.fits(at, Times(count, 12)) || timescale == 0) return {};
    std::uint64_t time = earliest;
    std::uint64_t end = Plus(sidx.end, firstOffset);
    for (std::uint64_t i = 0; i < count; ++i) {
        end = Plus(end, bytes.u32(at + i * 12) & 0x7FFFFFFFu);
        time = Plus(time, bytes.u32(at + i * 12 + 4));
    }
    return {static_cast<double>(time) / timescale, end};
}

// The end of the fragment's video or sound samples furthest in time, in seconds; nothing where a
// traf of a known track has no start or samples cut off.
std::optional<double> FragmentEnd(BoxFile& boxes, const Box& moof, std::vector<TrackClock>& tracks) {
    std::optional<double> end;
    bool complete = true;
    boxes.children(moof, 0, [&](const Box& child) {
        if (child.type != "traf") return true;
        const TrackFragment fragment = ReadTrackFragment(boxes, child, tracks);
        if (!fragment.track || !fragment.track->timescale) return true;
        if (!fragment.start || !fragment.whole) {
            complete = false;
            return false;
        }
        const std::uint64_t last = Plus(*fragment.start, fragment.runs.total());
        end = std::max(end.value_or(0), static_cast<double>(last) / fragment.track->timescale);
        return true;
    });
    return complete ? end : std::nullopt;
}

// Boxes that may follow a fragment at the top level of a fragmented film.
bool FragmentBox(const std::string& type) {
    for (const char* kind : {"moof", "mdat", "free", "skip", "sidx", "styp", "prft", "emsg", "ssix"}) {
        if (type == kind) return true;
    }
    return false;
}

// True when the boxes from `offset` on end exactly at `end`, their headers all held, and none is
// another moof after the first.
bool ReachesEnd(BoxFile& boxes, std::uint64_t offset, std::uint64_t end) {
    for (int i = 0; i < MaxFollowingBoxes && offset < end; ++i) {
        if (!boxes.held(offset, std::min<std::uint64_t>(16, end - offset))) return false;
        const auto box = boxes.boxAt(offset, end);
        if (!box || !FragmentBox(box->type) || (i > 0 && box->type == "moof")) return false;
        offset = box->end;
    }
    return offset == end;
}

// The film's last moof in the file's last bytes: scanning back for a moof whose boxes reach the
// end of the media.
std::optional<Box> LastMoofIn(BoxFile& boxes, const ByteWindow& tail, std::uint64_t mediaEnd) {
    const auto& bytes = tail.bytes();
    static constexpr char moof[] = {'m', 'o', 'o', 'f'};
    for (std::size_t at = bytes.size(); at >= 8; --at) {
        if (!std::equal(moof, moof + 4, bytes.begin() + std::ptrdiff_t(at - 4))) continue;
        const std::uint64_t start = tail.base() + at - 8;
        if (start < mediaEnd && ReachesEnd(boxes, start, mediaEnd)) return boxes.boxAt(start, mediaEnd);
    }
    return std::nullopt;
}

// mfra lists, for each track, where its random access points' fragments start; the furthest
// last entry is the last fragment that has one. Nothing where it lists none.
std::optional<std::uint64_t> LastListedMoof(BoxFile& boxes, const Box& mfra, bool& listsNone) {
    std::optional<std::uint64_t> last;
    listsNone = true;
    boxes.children(mfra, 0, [&](const Box& tfra) {
        if (tfra.type != "tfra") return true;
        const Payload head = boxes.payload(tfra, 16);
        const std::uint64_t count = head.u32(12);
        if (!head.fits(0, 16) || count == 0) return true;
        listsNone = false;
        const std::uint32_t sizes = head.u32(8);
        const std::uint64_t wide = head.u8(0) == 1 ? 8 : 4;
        const std::uint64_t entry = 2 * wide + (sizes >> 4 & 3) + 1 + (sizes >> 2 & 3) + 1 + (sizes & 3) + 1;
        if (tfra.payloadSize() < 16 + Times(count, entry)) return true;
        const std::uint64_t at = tfra.end - entry + wide;
        const ByteWindow* window = boxes.hold(at, wide);
        if (!window) return true;
        const std::uint64_t offset = wide == 8 ? window->uint64BeAt(at) : window->uint32BeAt(at);
        last = std::max(last.value_or(0), offset);
        return true;
    });
    return last;
}

}  // namespace

// A fragmented film's length without mehd: a sidx that covers all of its media, else the end of
// its last fragment: found in the file's last bytes or those before a long mfra (two reads at
// the end), else where mfra's entries say it lies (read in one more where the budget allows).
// Nothing where neither can be had; the moov's length where the film has no fragments.
double FragmentedLength(BoxFile& boxes, FragmentLayout& layout, std::uint64_t fileLength,
                        std::vector<TrackClock>& tracks, double moovLength) {
    SegmentIndex index;
    for (const Box& sidx : layout.sidx) {
        const SegmentIndex one = ReadSegmentIndex(boxes, sidx);
        index = {std::max(index.seconds, one.seconds), std::max(index.end, one.end)};
    }
    if (fileLength == 0) return 0;
    if (index.seconds > 0 && index.end >= fileLength) return index.seconds;

    const std::uint64_t tailSize = std::min(fileLength, TailBytes);
    const ByteWindow* tail = boxes.hold(fileLength - tailSize, tailSize);
    if (!tail) return 0;
    // mfro, the last box, gives the size of the mfra it ends. The media end where mfra starts; its
    // header is checked here where it is read already, else only when its entries are needed.
    std::optional<std::uint64_t> mfraAt;
    if (tail->uint32BeAt(fileLength - 16) == 16 && tail->textAt(fileLength - 12, 4) == "mfro") {
        const std::uint64_t size = tail->uint32BeAt(fileLength - 4);
        if (size >= 24 && size <= fileLength) mfraAt = fileLength - size;
    }
    const auto mfraBox = [&]() -> std::optional<Box> {
        const auto box = boxes.boxAt(*mfraAt, fileLength);
        return box && box->type == "mfra" && box->end == fileLength ? box : std::nullopt;
    };
    if (mfraAt && boxes.held(*mfraAt, 8) && !mfraBox()) mfraAt.reset();
    const std::uint64_t mediaEnd = mfraAt.value_or(fileLength);
    if (index.seconds > 0 && index.end >= mediaEnd) return index.seconds;

    std::optional<Box> moof = LastMoofIn(boxes, *tail, mediaEnd);
    // A long film's mfra fills the end read: its last fragment ends where mfra starts, and the
    // fragment of a second or so is in the bytes before it, read in one.
    const std::uint64_t before = std::min(mediaEnd, TailBytes);
    if (!moof && mediaEnd < tail->base() + TailBytes / 2) {
        if (const ByteWindow* window = boxes.hold(mediaEnd - before, before)) {
            moof = LastMoofIn(boxes, *window, mediaEnd);
        }
    }
    bool listsNone = !layout.moofSeen;
    const std::optional<Box> mfra = !moof && mfraAt ? mfraBox() : std::nullopt;
    if (mfra) {
        const auto listed = LastListedMoof(boxes, *mfra, listsNone);
        listsNone = listsNone && !layout.moofSeen;
        // read in one, with the header of the mdat after it
        if (listed && *listed < mediaEnd &&
            boxes.hold(*listed, std::min<std::uint64_t>(LongWindow, mediaEnd - *listed))) {
            const auto box = boxes.boxAt(*listed, mediaEnd);
            if (box && box->type == "moof" && ReachesEnd(boxes, box->start, mediaEnd)) moof = box;
        }
    }
    if (!moof) {
        // a film fragmented by its muxer that wrote no fragment: its moov holds every sample
        const bool noFragments = mfra && listsNone;
        if (!noFragments) return 0;
        return moovLength;
    }
    layout.lastMoof = moof;
    return FragmentEnd(boxes, *moof, tracks).value_or(0);
}

// The frame rate of a fragmented film whose stts is empty: the first video fragment's samples
// where that fragment is already read (the last one, read for the length, where the first lies
// behind a long sidx), else the fragments after those read, one read each (GStreamer gives each
// track fragments of its own, each followed by its media), else its trex's default duration.
double FragmentedFrameRate(BoxFile& boxes, const FragmentLayout& layout, std::vector<TrackClock>& tracks) {
    double rate = 0;
    const auto readVideo = [&](const Box& moof) {
        boxes.children(moof, 0, [&](const Box& child) {
            if (child.type != "traf") return true;
            const TrackFragment fragment = ReadTrackFragment(boxes, child, tracks);
            if (fragment.track && fragment.track->video) rate = fragment.runs.rate(fragment.track->timescale);
            return rate == 0;
        });
    };
    std::vector<Box> read = layout.firstMoofs;
    if (layout.lastMoof) read.push_back(*layout.lastMoof);
    for (const Box& moof : read) {
        if (rate != 0) break;
        if (boxes.held(moof.start, moof.end - moof.start)) readVideo(moof);
    }
    std::uint64_t at = layout.unreadFrom;
    for (std::size_t moofs = layout.firstMoofs.size(); rate == 0 && at != 0 && moofs < MaxFirstFragments;) {
        const auto box = boxes.boxAt(at, NoEnd);
        if (!box) break;
        if (box->type == "moof") {
            ++moofs;
            if (!boxes.hold(box->start, box->end - box->start)) break;
            readVideo(*box);
        } else if (box->type != "mdat") {
            break;
        }
        at = box->end;
    }
    for (const TrackClock& clock : tracks) {
        if (rate == 0 && clock.video && clock.defaultDuration && clock.timescale) {
            rate = static_cast<double>(clock.timescale) / clock.defaultDuration;
        }
    }
    return rate;
}

}  // namespace Iso

}  // namespace discstart
