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
// The stts read for the frame rate: 64 KiB hold 8191 runs, more than a film of changing rates
// has in its first hours; a film made at a constant rate has one or two.
constexpr std::uint64_t MaxTimeTableBytes = Iso::LongWindow;
// The end of the file read for a fragmented film's length: its mfro, most mfra boxes whole and
// the last fragment of a short film.
constexpr std::uint64_t TailBytes = Iso::LongWindow;

std::uint64_t Plus(std::uint64_t a, std::uint64_t b) {
    return b > ~a ? ~std::uint64_t{0} : a + b;
}

std::uint64_t Times(std::uint64_t a, std::uint64_t b) {
    return a && b > ~std::uint64_t{0} / a ? ~std::uint64_t{0} : a * b;
}

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

// A version 0 field of 32 bits or a version 1 field of 64 at `at`, which moves past it.
std::uint64_t VersionedField(const Payload& bytes, std::uint64_t& at) {
    const bool wide = bytes.u8(0) == 1;
    const std::uint64_t value = wide ? bytes.u64(at) : bytes.u32(at);
    at += wide ? 8 : 4;
    return value;
}

// mehd: the duration of the whole fragmented film in the movie's time scale.
std::uint64_t ReadFragmentDuration(BoxFile& boxes, const Box& mehd) {
    const Payload bytes = boxes.payload(mehd, 12);
    std::uint64_t at = 4;
    const std::uint64_t duration = VersionedField(bytes, at);
    return bytes.fits(0, at) ? duration : 0;
}

// Sample durations in runs, as stts lists them or a trun's samples give them. A player's frame
// rate is the one of the run that covers most of the film's time, however many samples a
// shorter run of short frames holds.
class Runs {
  public:
    void add(std::uint64_t count, std::uint32_t duration) {
        const std::uint64_t time = Times(count, duration);
        total_ = Plus(total_, time);
        run_ = duration == runDuration_ ? Plus(run_, time) : time;
        runDuration_ = duration;
        if (duration != 0 && run_ > most_) {
            most_ = run_;
            common_ = duration;
        }
    }
    std::uint64_t total() const { return total_; }
    double rate(std::uint32_t timescale) const {
        return common_ && timescale ? static_cast<double>(timescale) / common_ : 0;
    }

  private:
    std::uint64_t total_ = 0;
    std::uint64_t run_ = 0;
    std::uint32_t runDuration_ = 0;
    std::uint64_t most_ = 0;
    std::uint32_t common_ = 0;
};

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

// A video or sound track as its fragments need it.
struct TrackClock {
    std::uint32_t id = 0;  // tkhd
    bool video = false;
    std::uint32_t timescale = 0;        // mdhd
    std::uint32_t defaultDuration = 0;  // trex
};

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

// What one traf adds: its track, the decode time it starts at (tfdt), its samples' durations.
struct TrackFragment {
    TrackClock* track = nullptr;
    std::optional<std::uint64_t> start;
    Runs runs;
    bool whole = true;  // every sample's duration was read
};

TrackFragment ReadTrackFragment(BoxFile& boxes, const Box& traf, MovieReading& movie) {
    TrackFragment fragment;
    std::uint32_t defaultDuration = 0;
    boxes.children(traf, 0, [&](const Box& child) {
        if (child.type == "tfhd") {
            const Payload tfhd = boxes.payload(child, 28);
            const std::uint32_t flags = tfhd.u32(0);
            fragment.track = movie.track(tfhd.u32(4));
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
            const Payload trun = boxes.payload(child, Iso::LongWindow);
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
            const std::uint64_t stride =
                4 * ((flags >> 8 & 1) + (flags >> 9 & 1) + (flags >> 10 & 1) + (flags >> 11 & 1));
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

// Fragments after moov looked at for a frame rate: GStreamer gives each track fragments of its own.
constexpr std::size_t MaxFirstFragments = 4;

// Where a fragmented film's length and rate may lie besides moov: the sidx boxes met first and
// the first fragments, when the bytes already read hold them.
struct FragmentLayout {
    std::vector<Box> sidx;
    std::vector<Box> firstMoofs;
    bool moofSeen = false;
};

// A sidx: the time its references cover from the film's start, and where the media they cover
// ends. A film's index covers all of its media; ffmpeg's dash mode writes one for each fragment.
struct SegmentIndex {
    double seconds = 0;
    std::uint64_t end = 0;
};

SegmentIndex ReadSegmentIndex(BoxFile& boxes, const Box& sidx) {
    const Payload bytes = boxes.payload(sidx, Iso::LongWindow);
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
std::optional<double> FragmentEnd(BoxFile& boxes, const Box& moof, MovieReading& movie) {
    std::optional<double> end;
    bool complete = true;
    boxes.children(moof, 0, [&](const Box& child) {
        if (child.type != "traf") return true;
        const TrackFragment fragment = ReadTrackFragment(boxes, child, movie);
        if (!fragment.track || !fragment.track->timescale) return true;
        if (!fragment.start || !fragment.whole) {
            complete = false;
            return false;
        }
        const Timing timing{fragment.track->timescale, Plus(*fragment.start, fragment.runs.total())};
        end = std::max(end.value_or(0), timing.seconds());
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
    for (int i = 0; i < MaxTopLevelBoxes && offset < end; ++i) {
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

// A fragmented film's length without mehd: a sidx that covers all of its media, else the end of
// its last fragment, found in the file's last bytes (at most two reads there) and read in one
// more. Nothing where neither can be had; the moov's length where the film has no fragments.
double FragmentedLength(BoxFile& boxes, const FragmentLayout& layout, std::uint64_t fileLength,
                        MovieReading& movie) {
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
    std::uint64_t mediaEnd = fileLength;
    std::optional<Box> mfra;
    // mfro, the last box, gives the size of the mfra it ends
    if (tail->uint32BeAt(fileLength - 16) == 16 && tail->textAt(fileLength - 12, 4) == "mfro") {
        const std::uint64_t size = tail->uint32BeAt(fileLength - 4);
        if (size >= 16 && size <= fileLength) {
            mfra = boxes.boxAt(fileLength - size, fileLength);
            if (mfra && mfra->type == "mfra" && mfra->end == fileLength) {
                mediaEnd = mfra->start;
            } else {
                mfra.reset();
            }
        }
    }
    if (index.seconds > 0 && index.end >= mediaEnd) return index.seconds;

    std::optional<Box> moof = LastMoofIn(boxes, *tail, mediaEnd);
    bool listsNone = !layout.moofSeen;
    if (!moof && mfra) {
        const auto listed = LastListedMoof(boxes, *mfra, listsNone);
        listsNone = listsNone && !layout.moofSeen;
        // read in one, with the header of the mdat after it
        if (listed && *listed < mediaEnd &&
            boxes.hold(*listed, std::min<std::uint64_t>(Iso::LongWindow, mediaEnd - *listed))) {
            const auto box = boxes.boxAt(*listed, mediaEnd);
            if (box && box->type == "moof" && ReachesEnd(boxes, box->start, mediaEnd)) moof = box;
        }
    }
    if (!moof) {
        // a film fragmented by its muxer that wrote no fragment: its moov holds every sample
        const bool noFragments = mfra && listsNone;
        if (!noFragments) return 0;
        return movie.moovLength();
    }
    return FragmentEnd(boxes, *moof, movie).value_or(0);
}

// The frame rate of a fragmented film whose stts is empty: the first video fragment's samples
// where that fragment is already read, else its trex's default duration.
double FragmentedFrameRate(BoxFile& boxes, const FragmentLayout& layout, MovieReading& movie) {
    double rate = 0;
    for (const Box& moof : layout.firstMoofs) {
        if (rate != 0 || !boxes.held(moof.start, moof.end - moof.start)) break;
        boxes.children(moof, 0, [&](const Box& child) {
            if (child.type != "traf") return true;
            const TrackFragment fragment = ReadTrackFragment(boxes, child, movie);
            if (fragment.track && fragment.track->video) rate = fragment.runs.rate(fragment.track->timescale);
            return rate == 0;
        });
    }
    for (const TrackClock& clock : movie.tracks) {
        if (rate == 0 && clock.video && clock.defaultDuration && clock.timescale) {
            rate = static_cast<double>(clock.timescale) / clock.defaultDuration;
        }
    }
    return rate;
}

}  // namespace

void ReadIsoMedia(ByteFile& file, const ByteWindow& head, ContainerInfo& info, std::uint64_t fileLength) {
    BoxFile boxes(file, head);
    MovieReading movie;
    FragmentLayout layout;
    std::optional<Box> moov;
    std::uint64_t offset = 0;
    bool mediaSeen = false;
    for (int i = 0; i < MaxTopLevelBoxes; ++i) {
        // Past moov only what is read already: the sidx boxes and first moofs that follow it.
        const bool enough = layout.firstMoofs.size() == MaxFirstFragments;
        if (moov && (!info.fragmented || enough || !boxes.held(offset, 16))) break;
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
        info.durationSeconds = FragmentedLength(boxes, layout, fileLength, movie);
    }
    if (info.fragmented && info.video && info.video->framesPerSecond == 0) {
        info.video->framesPerSecond = FragmentedFrameRate(boxes, layout, movie);
    }
}

}  // namespace discstart
