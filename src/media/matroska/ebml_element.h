#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "bytes/byte_window.h"

namespace discstart {

// One EBML element as its header describes it. Offsets are absolute file positions.
struct EbmlElement {
    std::uint64_t id = 0;  // with its length marker, as written: 0x1A45DFA3, 0xEC
    std::uint64_t start = 0;
    std::uint64_t dataStart = 0;
    std::uint64_t size = 0;  // of the payload; for an unknown size, up to the end it was given
    bool unknownSize = false;

    std::uint64_t end() const { return dataStart + size; }
};

// A variable-length number as IDs, sizes and block track numbers are written.
struct EbmlVarInt {
    int length = 0;           // 0: the window ends first; 9: no marker in the first byte
    std::uint64_t raw = 0;    // with the length marker, as IDs are written
    std::uint64_t value = 0;  // without it, as sizes are read
    bool allOnes = false;     // every value bit set: a reserved ID, an unknown size
};

EbmlVarInt EbmlVarIntAt(const ByteWindow& window, std::uint64_t offset);

enum class EbmlHeaderStatus {
    Ok,
    NotHeld,  // the window ends inside the header: more bytes would tell
    Invalid,  // a reserved ID, a length marker past 8 bytes, or a size beyond `limit`
};

struct EbmlHeaderRead {
    EbmlHeaderStatus status = EbmlHeaderStatus::Invalid;
    EbmlElement element;
};

// The element starting at `offset`, which must end by `limit` (its parent's end). An unknown
// size reaches to `limit`. IDs and sizes of 1 to 8 bytes; no arithmetic can overflow.
EbmlHeaderRead EbmlHeaderAt(const ByteWindow& window, std::uint64_t offset, std::uint64_t limit);

// Payload values; nothing when the window does not hold the payload or its width is not one
// the type allows. Integers are 0 to 8 bytes, floats 0, 4 or 8.
std::optional<std::uint64_t> EbmlUint(const ByteWindow& window, const EbmlElement& element);
std::optional<double> EbmlFloat(const ByteWindow& window, const EbmlElement& element);
// The payload up to its first zero byte (writers may pad strings with zeros), at most
// `maxBytes` of it.
std::string EbmlString(const ByteWindow& window, const EbmlElement& element, std::size_t maxBytes);

// No master element holds more children than a file of this many could need; a walk stops
// there, so that a window of tiny elements costs bounded work.
inline constexpr int EbmlMaxChildren = 1 << 16;

// Calls visit(child) for each child in [begin, end) that the window holds whole, in order.
// Stops at the first child that is invalid, reaches past `end` or is cut off by the window's
// end, and after an unknown-size child (it reaches to `end`). `visit` returns false to stop.
template <typename Visit>
void ForEachEbmlChild(const ByteWindow& window, std::uint64_t begin, std::uint64_t end, Visit&& visit) {
    std::uint64_t at = begin;
    for (int count = 0; count < EbmlMaxChildren && at < end; ++count) {
        const EbmlHeaderRead read = EbmlHeaderAt(window, at, end);
        if (read.status != EbmlHeaderStatus::Ok || !window.holds(read.element.dataStart, read.element.size)) {
            return;
        }
        if (!visit(read.element) || read.element.unknownSize) return;
        at = read.element.end();
    }
}

}  // namespace discstart
