#pragma once

#include <cstdint>
#include <span>

namespace discstart {

namespace Jpeg {

// What a JPEG stream asks of a decoder, read from its markers without decoding: enough to
// refuse a picture whose decode would take too long or too much memory before it starts.
struct Layout {
    bool valid = false;  // SOI, then a usable frame header before the first scan
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;
    int scans = 0;
    // 8x8 blocks decoded over all scans: the decode's work.
    std::uint64_t blockScans = 0;
    // The whole-image coefficient buffer a decoder keeps for a progressive or multi-scan picture.
    std::uint64_t coefficientBytes = 0;
};

// True when the bytes start as a JPEG stream does, whatever the file is called.
bool LooksLikeJpeg(std::span<const std::uint8_t> bytes);

// Walks the markers; entropy-coded data is skipped, never decoded. Never throws.
Layout ReadLayout(std::span<const std::uint8_t> bytes);

}  // namespace Jpeg

}  // namespace discstart
