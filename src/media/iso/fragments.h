#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "media/iso/boxes.h"

namespace discstart {

namespace Iso {

// Saturating, for sums of durations and sizes a file may make as large as it likes.
inline std::uint64_t Plus(std::uint64_t a, std::uint64_t b) {
    return b > ~a ? ~std::uint64_t{0} : a + b;
}

inline std::uint64_t Times(std::uint64_t a, std::uint64_t b) {
    return a && b > ~std::uint64_t{0} / a ? ~std::uint64_t{0} : a * b;
}

// A version 0 field of 32 bits or a version 1 field of 64 at `at`, which moves past it.
inline std::uint64_t VersionedField(const Payload& bytes, std::uint64_t& at) {
    const bool wide = bytes.u8(0) == 1;
    const std::uint64_t value = wide ? bytes.u64(at) : bytes.u32(at);
    at += wide ? 8 : 4;
    return value;
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

// A video or sound track as its fragments need it.
struct TrackClock {
    std::uint32_t id = 0;  // tkhd
    bool video = false;
    std::uint32_t timescale = 0;        // mdhd
    std::uint32_t defaultDuration = 0;  // trex
};

// Fragments after moov looked at for a frame rate: GStreamer gives each track fragments of its own.
constexpr std::size_t MaxFirstFragments = 4;

// Where a fragmented film's length and rate may lie besides moov: the sidx boxes met first and
// the first fragments, when the bytes already read hold them.
struct FragmentLayout {
    std::vector<Box> sidx;
    std::vector<Box> firstMoofs;
    std::optional<Box> lastMoof;  // where the length was found
    bool moofSeen = false;
    // Where the walk after moov stopped at bytes not read yet (0: it did not): the next fragment,
    // perhaps, where the first ones belong to the sound.
    std::uint64_t unreadFrom = 0;
};

// A fragmented film's length without mehd (`moovLength` where it turns out to have no
// fragments), in seconds; 0 where it cannot be had. `fileLength` is 0 when unknown. Sets the
// layout's last moof where it read one.
double FragmentedLength(BoxFile& boxes, FragmentLayout& layout, std::uint64_t fileLength,
                        std::vector<TrackClock>& tracks, double moovLength);

// The frame rate of a fragmented film whose stts is empty; 0 where it cannot be had.
double FragmentedFrameRate(BoxFile& boxes, const FragmentLayout& layout, std::vector<TrackClock>& tracks);

}  // namespace Iso

}  // namespace discstart
