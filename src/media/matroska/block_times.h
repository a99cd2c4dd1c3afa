#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "bytes/byte_window.h"

namespace discstart {

// A film without DefaultDuration (browsers' recorders, libwebm, live streams) tells its frame
// rate only through its block times; a player sees them at the start of the first Cluster.

// The IDs that may stand at the Segment's top level: where junk ends, or an unknown size.
bool IsMatroskaTopLevelId(std::uint64_t id);

// The first top-level element after `from` whose header the window holds and that ends by
// `limit`: where to go on past junk. Nothing when the window holds none.
std::optional<std::uint64_t> NextMatroskaTopLevel(const ByteWindow& window, std::uint64_t from,
                                                  std::uint64_t limit);

// The presentation times, in timestamp ticks, of the blocks of track `trackNumber` in the
// Clusters from `clusterStart` on, as far as `window` holds their headers. A Cluster of unknown
// size ends where the next top-level element starts; junk between Clusters is skipped.
std::vector<std::int64_t> BlockTimes(const ByteWindow& window, std::uint64_t clusterStart,
                                     std::uint64_t trackNumber);

// The frame rate those times show, 0 when they show none: from the typical interval between
// them in presentation order, averaged over the runs of such intervals, and a common rate
// (24000/1001, 25, 30000/1001, ...) where it lies within the rounding of the ticks.
double FramesPerSecondFromTimes(std::vector<std::int64_t> ticks, std::uint64_t nanosecondsPerTick);

}  // namespace discstart
