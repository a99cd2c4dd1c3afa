#pragma once

#include <string_view>

#include "media/container.h"

namespace discstart {

namespace Iso {

// The decoder configurations an MP4 sample entry carries for its sound, bytes in, facts out.
// Each sets only what its bytes state and leaves the rest of `facts` as it was.

// dac3: sample rate, channels (acmod and the LFE), bit rate.
void ReadAc3Config(std::string_view bytes, TrackFacts& facts);

// dec3: data rate, and the channels and sample rate of the first independent substream.
void ReadEac3Config(std::string_view bytes, TrackFacts& facts);

// dfLa after its version and flags: the metadata blocks, STREAMINFO first.
void ReadFlacConfig(std::string_view bytes, TrackFacts& facts);

}  // namespace Iso

}  // namespace discstart
