#pragma once

#include "media/container.h"
#include "media/iso/boxes.h"

namespace discstart {

namespace Iso {

// The first entry of a video or sound track's stsd: its type (a protected entry's original one)
// as the codec identifier, and the picture size or the sound's channels, sample rate and bit rate
// as the entry's fields, laid out alike for every codec, and its configuration boxes state them.
struct EntryContext {
    bool video = false;      // a video track (else a sound track)
    bool quickTime = false;  // a QuickTime file: no ftyp, or the brand "qt  "
};
void ReadSampleEntry(BoxFile& boxes, const Box& stsd, const EntryContext& context, TrackFacts& facts);

}  // namespace Iso

}  // namespace discstart
