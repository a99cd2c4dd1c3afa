#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/movie_types.h"

namespace discstart {

struct ContainerInfo;

// What any film can have. A header that stores more (or nothing where it must store something)
// is broken or hostile, and its fact is left out rather than shown.
namespace Plausible {
// Above zero and at most `most`; a NaN is neither.
template <typename Number>
struct Bound {
    Number most;
    constexpr bool operator()(Number value) const { return value > 0 && value <= most; }
};
inline constexpr Bound<std::uint64_t> Side{65535};           // pixels a side
inline constexpr Bound<double> FramesPerSecond{1000.0};      // frames a second
inline constexpr Bound<std::uint64_t> Channels{255};         // at least one
inline constexpr Bound<std::uint64_t> SampleRate{1000000};   // 1 Hz to 1 MHz
inline constexpr Bound<double> Seconds{7.0 * 24 * 60 * 60};  // a week
inline constexpr Bound<std::uint64_t> Bitrate{1000000000};   // bits per second
}  // namespace Plausible

// A fact a header stored that no film can have: which fact, the header that holds it (the box
// or element name) and the value as stored, for the disc check's warning.
struct RefusedFact {
    std::string fact;    // "width", "height", "fps", "channels", "sampleRate", "duration", "bitrate"
    std::string header;  // "stsd", "mvhd", "Video", "Info", ...
    std::string value;

    bool operator==(const RefusedFact&) const = default;
};

// Clears every fact of `info` outside the bounds above (a zero stays zero: the file stores
// nothing) and says which it cleared. A picture size goes as a pair: half a size is no size.
std::vector<RefusedFact> KeepPlausible(ContainerInfo& info, MovieFileKind kind);

}  // namespace discstart
