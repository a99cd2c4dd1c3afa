#include "media/matroska/block_times.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "media/matroska/ebml_element.h"
#include "media/matroska/sections.h"

namespace discstart {

namespace {

constexpr std::uint64_t Unbounded = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t ClusterTimestamp = 0xE7;
constexpr std::uint64_t SimpleBlock = 0xA3;
constexpr std::uint64_t BlockGroup = 0xA0;
constexpr std::uint64_t Block = 0xA1;
// A first Cluster read holds a few hundred blocks at most; a window of tiny elements must not
// cost more than that.
constexpr int MaxElements = 1 << 14;
constexpr std::size_t MaxTimes = 1024;
constexpr int MaxBlockGroupChildren = 8;

// The rates cameras, encoders and broadcasters use, as frames per 1001 seconds' thousandths
// are awkward: numerator and denominator.
constexpr std::array<std::pair<double, double>, 14> CommonRates = {{{24000, 1001},
                                                                    {24, 1},
                                                                    {25, 1},
                                                                    {30000, 1001},
                                                                    {30, 1},
                                                                    {48, 1},
                                                                    {50, 1},
                                                                    {60000, 1001},
                                                                    {60, 1},
                                                                    {100, 1},
                                                                    {120000, 1001},
                                                                    {120, 1},
                                                                    {15, 1},
                                                                    {12, 1}}};

// The block's time if it belongs to `trackNumber`: its track number, then its time relative to
// the Cluster's.
std::optional<std::int64_t> BlockTime(const ByteWindow& window, std::uint64_t offset,
                                      std::uint64_t trackNumber, std::int64_t clusterTime) {
    const EbmlVarInt track = EbmlVarIntAt(window, offset);
    if (track.length == 0 || track.length > 8 || track.value != trackNumber) return std::nullopt;
    const std::uint64_t timeAt = offset + static_cast<std::uint64_t>(track.length);
    if (!window.holds(timeAt, 2)) return std::nullopt;
    return clusterTime + static_cast<std::int16_t>(window.uint16BeAt(timeAt));
}

}  // namespace

bool IsMatroskaTopLevelId(std::uint64_t id) {
    using namespace MatroskaId;
    switch (id) {
        case SeekHead:
        case Info:
        case Tracks:
        case Tags:
        case Cues:
        case Cluster:
        case Chapters:
        case Attachments:
            return true;
        default:
            return false;
    }
}

std::optional<std::uint64_t> NextMatroskaTopLevel(const ByteWindow& window, std::uint64_t from,
                                                  std::uint64_t limit) {
    for (std::uint64_t at = std::max(from, window.base()); window.holds(at, 4) && at < limit; ++at) {
        if (!IsMatroskaTopLevelId(window.uint32BeAt(at))) continue;
        if (EbmlHeaderAt(window, at, limit).status == EbmlHeaderStatus::Ok) return at;
    }
    return std::nullopt;
}

std::vector<std::int64_t> BlockTimes(const ByteWindow& window, std::uint64_t clusterStart,
                                     std::uint64_t trackNumber) {
    std::vector<std::int64_t> times;
    std::uint64_t at = clusterStart;
    std::uint64_t clusterEnd = 0;  // 0: between Clusters
    std::int64_t clusterTime = 0;
    for (int count = 0; count < MaxElements && times.size() < MaxTimes; ++count) {
        if (clusterEnd != 0 && at >= clusterEnd) clusterEnd = 0;
        const EbmlHeaderRead read = EbmlHeaderAt(window, at, Unbounded);
        if (read.status == EbmlHeaderStatus::NotHeld) break;
        const EbmlElement& element = read.element;
        const bool topLevel = read.status == EbmlHeaderStatus::Ok && IsMatroskaTopLevelId(element.id);
        if (read.status != EbmlHeaderStatus::Ok || (clusterEnd == 0 && !topLevel)) {
            const auto next = NextMatroskaTopLevel(window, at + 1, Unbounded);
            if (!next) break;
            at = *next;
            continue;
        }
        if (element.id == MatroskaId::Cluster) {
            clusterEnd = element.unknownSize ? Unbounded : element.end();
            clusterTime = 0;
            at = element.dataStart;
            continue;
        }
        if (topLevel) {
            // Cues or Tags between Clusters, or the end of a Cluster of unknown size.
            clusterEnd = 0;
            if (element.unknownSize) break;
            at = element.end();
            continue;
        }
        if (element.id == ClusterTimestamp) {
            const auto time = EbmlUint(window, element);
            if (!time || *time > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() / 2))
                break;
            clusterTime = static_cast<std::int64_t>(*time);
        } else if (element.id == SimpleBlock) {
            if (const auto time = BlockTime(window, element.dataStart, trackNumber, clusterTime))
                times.push_back(*time);
        } else if (element.id == BlockGroup) {
            std::uint64_t child = element.dataStart;
            for (int i = 0; i < MaxBlockGroupChildren && child < element.end(); ++i) {
                const EbmlHeaderRead inner = EbmlHeaderAt(window, child, element.end());
                if (inner.status != EbmlHeaderStatus::Ok) break;
                if (inner.element.id == Block) {
                    if (const auto time =
                            BlockTime(window, inner.element.dataStart, trackNumber, clusterTime))
                        times.push_back(*time);
                    break;
                }
                child = inner.element.end();
            }
        }
        if (element.unknownSize) break;
        at = element.end();
    }
    return times;
}

double FramesPerSecondFromTimes(std::vector<std::int64_t> ticks, std::uint64_t nanosecondsPerTick) {
    // B-frames are stored out of presentation order.
    std::sort(ticks.begin(), ticks.end());
    std::vector<std::int64_t> intervals;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        if (ticks[i] > ticks[i - 1]) intervals.push_back(ticks[i] - ticks[i - 1]);
    }
    if (intervals.size() < 2 || nanosecondsPerTick == 0) return 0;
    std::vector<std::int64_t> sorted = intervals;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    const std::int64_t typical = *middle;
    // Rounded to ticks, one frame's interval differs from the next by a tick; a dropped frame
    // or a gap doubles it.
    const std::int64_t spread = 1 + typical / 8;
    double sum = 0;
    int count = 0;
    int runs = 0;
    bool inRun = false;
    for (const std::int64_t interval : intervals) {
        const bool regular = std::llabs(interval - typical) <= spread;
        if (regular) {
            sum += static_cast<double>(interval);
            ++count;
            if (!inRun) ++runs;
        }
        inRun = regular;
    }
    const double interval = sum / count;
    // Each run of intervals spans the time between two rounded timestamps: less than a tick off.
    const double tolerance = static_cast<double>(runs) / count;
    const double tick = static_cast<double>(nanosecondsPerTick);
    double best = 1e9 / (interval * tick);
    double bestError = tolerance;
    for (const auto& [numerator, denominator] : CommonRates) {
        const double error = std::abs(1e9 * denominator / numerator / tick - interval);
        if (error <= bestError) {
            bestError = error;
            best = numerator / denominator;
        }
    }
    return std::isfinite(best) ? best : 0;
}

}  // namespace discstart
