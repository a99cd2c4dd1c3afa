#pragma once

#include <string>

#include "info/naming.h"
#include "media/container.h"

namespace discstart {

// The Video and Audio rows' names for a track of an MP4 or Matroska film, from its stored
// identifier (sample entry type or CodecID; exact, case-sensitive) and what the codec's
// configuration adds (MP4 object type, AAC audio object type). An identifier the tables do
// not know is shown as it is stored. Matroska's V_MS/VFW/FOURCC and A_MS/ACM go through the
// AVI tables, so an Xvid film shows the Xvid picture there too.
VideoCodecLookup ContainerVideoName(const TrackFacts& track);
std::string ContainerAudioName(const TrackFacts& track);

}  // namespace discstart
