#pragma once

#include <cstdint>

#include "media/iso/boxes.h"
#include "media/movie_types.h"

namespace discstart {

namespace Iso {

// Longer texts are cut: a tag line shows a few dozen characters.
inline constexpr std::uint64_t MaxTagBytes = 1024;

// The film's tags from moov/udta: the iTunes-style item list in meta/ilst first, QuickTime's and
// 3GPP's texts kept directly in udta where the list has none. Raw bytes, as the file holds them.
void ReadUserData(BoxFile& boxes, const Box& udta, MovieTags& tags);

}  // namespace Iso

}  // namespace discstart
