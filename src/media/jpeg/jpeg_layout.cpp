#include "media/jpeg/jpeg_layout.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace discstart {

namespace Jpeg {

namespace {

constexpr std::uint8_t SOI = 0xD8;
constexpr std::uint8_t EOI = 0xD9;
constexpr std::uint8_t SOS = 0xDA;
constexpr int MaxComponents = 4;

struct Component {
    int id = 0;
    int h = 1;
    int v = 1;
};

struct Frame {
    bool seen = false;
    int width = 0;
    int height = 0;
    int count = 0;
    int maxH = 1;
    int maxV = 1;
    std::array<Component, MaxComponents> components{};
};

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

// Blocks of one component as a decoder lays them out on its own.
std::uint64_t WidthInBlocks(const Frame& f, const Component& c) {
    return CeilDiv(CeilDiv(std::uint64_t(f.width) * c.h, f.maxH), 8);
}
std::uint64_t HeightInBlocks(const Frame& f, const Component& c) {
    return CeilDiv(CeilDiv(std::uint64_t(f.height) * c.v, f.maxV), 8);
}

// The bounds-checked reads of the marker walk.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool has(std::size_t at, std::size_t count) const {
        return at <= bytes_.size() && count <= bytes_.size() - at;
    }
    std::uint8_t byte(std::size_t at) const { return at < bytes_.size() ? bytes_[at] : 0; }
    int word(std::size_t at) const { return (byte(at) << 8) | byte(at + 1); }
    std::size_t size() const { return bytes_.size(); }

  private:
    std::span<const std::uint8_t> bytes_;
};

bool IsFrameMarker(std::uint8_t marker) {
    // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool ReadFrame(const Reader& in, std::size_t at, std::size_t length, Frame& frame) {
    if (length < 6) return false;
    frame.height = in.word(at + 1);
    frame.width = in.word(at + 3);
    frame.count = in.byte(at + 5);
    if (frame.width == 0 || frame.height == 0 || frame.count < 1 || frame.count > MaxComponents) return false;
    if (length < 6 + std::size_t(frame.count) * 3) return false;
    for (int i = 0; i < frame.count; ++i) {
        Component& c = frame.components[i];
        c.id = in.byte(at + 6 + std::size_t(i) * 3);
        const std::uint8_t sampling = in.byte(at + 7 + std::size_t(i) * 3);
        c.h = sampling >> 4;
        c.v = sampling & 0x0F;
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4) return false;
        frame.maxH = std::max(frame.maxH, c.h);
        frame.maxV = std::max(frame.maxV, c.v);
    }
    frame.seen = true;
    return true;
}

// Blocks one scan decodes: every block of its one component, or whole MCUs when interleaved.
std::uint64_t ScanBlocks(const Reader& in, std::size_t at, std::size_t length, const Frame& frame) {
    const int count = in.byte(at);
    if (count < 1 || length < 1 + std::size_t(count) * 2) return 0;
    const Component* single = nullptr;
    std::uint64_t perMcu = 0;
    for (int i = 0; i < count; ++i) {
        const int id = in.byte(at + 1 + std::size_t(i) * 2);
        for (int k = 0; k < frame.count; ++k) {
            if (frame.components[k].id != id) continue;
            single = &frame.components[k];
            perMcu += std::uint64_t(single->h) * single->v;
        }
    }
    if (count == 1) return single ? WidthInBlocks(frame, *single) * HeightInBlocks(frame, *single) : 0;
    const std::uint64_t mcus =
        CeilDiv(frame.width, 8ULL * frame.maxH) * CeilDiv(frame.height, 8ULL * frame.maxV);
    return mcus * perMcu;
}

// Where the entropy-coded data that starts at `at` ends: the next marker that is not a restart.
std::size_t SkipEntropyData(const Reader& in, std::size_t at) {
    while (at + 1 < in.size()) {
        if (in.byte(at) != 0xFF) {
            ++at;
            continue;
        }
        const std::uint8_t next = in.byte(at + 1);
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
            at += 2;
        } else if (next == 0xFF) {
            ++at;  // fill byte
        } else {
            return at;
        }
    }
    return in.size();
}

std::uint64_t CoefficientBytes(const Frame& frame) {
    std::uint64_t blocks = 0;
    for (int i = 0; i < frame.count; ++i) {
        const Component& c = frame.components[i];
        // Padded to whole MCUs, 64 coefficients of two bytes each.
        const std::uint64_t wide = CeilDiv(WidthInBlocks(frame, c), c.h) * c.h;
        const std::uint64_t high = CeilDiv(HeightInBlocks(frame, c), c.v) * c.v;
        blocks += wide * high;
    }
    return blocks * 128;
}

}  // namespace

bool LooksLikeJpeg(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == SOI && bytes[2] == 0xFF;
}

Layout ReadLayout(std::span<const std::uint8_t> bytes) {
    Layout layout;
    if (!LooksLikeJpeg(bytes)) return layout;
    const Reader in(bytes);
    Frame frame;
    bool usable = true;
    std::size_t at = 2;
    while (at + 1 < in.size()) {
        if (in.byte(at) != 0xFF) break;  // not where a marker must be
        const std::uint8_t marker = in.byte(at + 1);
        at += 2;
        if (marker == 0xFF) {
            --at;  // fill byte before a marker
            continue;
        }
        if (marker == EOI) break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (!in.has(at, 2)) break;
        const std::size_t length = std::size_t(in.word(at));
        if (length < 2) break;
        const std::size_t payload = at + 2;
        const std::size_t size = length - 2;
        if (IsFrameMarker(marker) && !frame.seen) {
            usable = ReadFrame(in, payload, size, frame);
            layout.progressive = (marker & 0x03) == 0x02;  // SOF2, SOF6, SOF10, SOF14
        }
        at = payload + size;
        if (marker == SOS) {
            if (!frame.seen) usable = false;
            ++layout.scans;
            if (frame.seen) layout.blockScans += ScanBlocks(in, payload, size, frame);
            at = SkipEntropyData(in, at);
        }
    }
    layout.valid = usable && frame.seen;
    if (!layout.valid) return layout;
    layout.width = frame.width;
    layout.height = frame.height;
    layout.components = frame.count;
    if (layout.progressive || layout.scans > 1) layout.coefficientBytes = CoefficientBytes(frame);
    return layout;
}

}  // namespace Jpeg

}  // namespace discstart
