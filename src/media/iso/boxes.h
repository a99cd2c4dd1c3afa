#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <string>

#include "bytes/byte_file.h"
#include "bytes/byte_window.h"

namespace discstart {

namespace Iso {

// What a walk may cost, the first block included: a film with its moov at the front is read in
// the first block plus a window at the audio track and one at the tags; one at the end costs one
// more window. A fragmented film without its length in moov costs the end of the file, perhaps
// its fragment index, and its last fragment. Five reads keep a film under an AVI name (three
// reads before it) within eight. Whatever the bytes say, no walk reads more.
inline constexpr std::size_t WindowSize = std::size_t{16} * 1024;
// The most one read holds: a long stts, the end of the file, the last fragment.
inline constexpr std::size_t LongWindow = std::size_t{64} * 1024;
inline constexpr int MaxReads = 5;
inline constexpr std::uint64_t MaxBytes = std::uint64_t{160} * 1024;
// Children looked at in one box; a chain of empty boxes ends here rather than at the next read.
inline constexpr int MaxChildren = 256;

inline constexpr std::uint64_t NoEnd = std::numeric_limits<std::uint64_t>::max();

// A box as its header gives it, its size checked against the box it lies in. It may reach past the
// end of a file cut short: what is read of it must then be in the file, never half of it.
struct Box {
    std::string type;  // four raw bytes
    std::uint64_t start = 0;
    std::uint64_t payload = 0;  // after the header (and a largesize)
    std::uint64_t end = 0;

    std::uint64_t payloadSize() const { return end - payload; }
};

// A run of bytes of one box, all of them held in memory. Numbers are read at offsets from its
// start and are zero where the run ends, so a short box never lends a field its neighbour's bytes.
class Payload {
  public:
    Payload() = default;
    Payload(const ByteWindow& window, std::uint64_t start, std::uint64_t size)
        : window_(&window), start_(start), size_(size) {}

    bool held() const { return window_ != nullptr; }
    std::uint64_t size() const { return size_; }
    std::uint64_t start() const { return start_; }

    std::uint8_t u8(std::uint64_t at) const { return fits(at, 1) ? window_->byteAt(start_ + at) : 0; }
    std::uint16_t u16(std::uint64_t at) const { return fits(at, 2) ? window_->uint16BeAt(start_ + at) : 0; }
    std::uint32_t u32(std::uint64_t at) const { return fits(at, 4) ? window_->uint32BeAt(start_ + at) : 0; }
    std::uint64_t u64(std::uint64_t at) const { return fits(at, 8) ? window_->uint64BeAt(start_ + at) : 0; }
    // Up to `count` bytes from `at`, fewer where the run ends.
    std::string text(std::uint64_t at, std::uint64_t count) const;
    bool fits(std::uint64_t at, std::uint64_t count) const { return at <= size_ && count <= size_ - at; }

  private:
    const ByteWindow* window_ = nullptr;
    std::uint64_t start_ = 0;
    std::uint64_t size_ = 0;
};

// The file as a walk over its boxes sees it: the first block, then windows read where a box
// lies beyond what is held, within the read budget above.
class BoxFile {
  public:
    BoxFile(ByteFile& file, const ByteWindow& head);

    // The box whose header starts at `offset` in a parent that ends at `parentEnd`; nothing when
    // no box fits there (too small, past the parent, its header not in the file).
    std::optional<Box> boxAt(std::uint64_t offset, std::uint64_t parentEnd);

    // The first `count` bytes of the box's payload (all of it when shorter), or nothing held when
    // they cannot be had. `count` is at most LongWindow.
    Payload payload(const Box& box, std::uint64_t count);

    // Calls `visit(child)` for each child from `parent.payload + skip` until it returns false, a
    // child does not fit, or MaxChildren have been seen.
    template <typename Visit>
    void children(const Box& parent, std::uint64_t skip, Visit&& visit) {
        if (skip > parent.payloadSize()) return;
        std::uint64_t offset = parent.payload + skip;
        for (int seen = 0; seen < MaxChildren && offset < parent.end; ++seen) {
            const auto child = boxAt(offset, parent.end);
            if (!child || !visit(*child)) return;
            offset = child->end;
        }
    }

    // A window holding [offset, offset + count): one already read, or a new one of WindowSize
    // (of `count` where that is more, up to LongWindow) when the budget allows. Nothing when the
    // bytes lie past the end of the file or beyond the budget.
    const ByteWindow* hold(std::uint64_t offset, std::uint64_t count);
    // The window already holding [offset, offset + count), without reading.
    const ByteWindow* held(std::uint64_t offset, std::uint64_t count) const;

  private:
    ByteFile& file_;
    const ByteWindow& head_;
    std::deque<ByteWindow> windows_;  // a deque: a Payload keeps pointing at its window
    int reads_ = 1;
    std::uint64_t bytes_ = 0;
    std::uint64_t fileEnd_ = NoEnd;
};

}  // namespace Iso

}  // namespace discstart
