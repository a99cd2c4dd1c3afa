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
inline constexpr std::uint64_t MaxSide = 65535;           // pixels a side
inline constexpr double MaxFramesPerSecond = 1000.0;      // above zero, at most this
inline constexpr std::uint64_t MaxChannels = 255;         // at least one
inline constexpr std::uint64_t MaxSampleRate = 1000000;   // 1 Hz to 1 MHz
inline constexpr double MaxSeconds = 7.0 * 24 * 60 * 60;  // a week
inline constexpr std::uint64_t MaxBitrate = 1000000000;   // bits per second

constexpr bool Side(std::uint64_t pixels) {
    return pixels >= 1 && pixels <= MaxSide;
}
constexpr bool FramesPerSecond(double fps) {
    return fps > 0 && fps <= MaxFramesPerSecond;
}
constexpr bool Channels(std::uint64_t count) {
    return count >= 1 && count <= MaxChannels;
}
constexpr bool SampleRate(std::uint64_t hertz) {
    return hertz >= 1 && hertz <= MaxSampleRate;
}
constexpr bool Seconds(double seconds) {
    return seconds > 0 && seconds <= MaxSeconds;
}
constexpr bool Bitrate(std::uint64_t bitsPerSecond) {
    return bitsPerSecond >= 1 && bitsPerSecond <= MaxBitrate;
}
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
