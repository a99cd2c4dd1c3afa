#include "media/matroska/ebml_element.h"

#include "bytes/bit_cast.h"

namespace discstart {

EbmlVarInt EbmlVarIntAt(const ByteWindow& window, std::uint64_t offset) {
    EbmlVarInt v;
    if (!window.holds(offset, 1)) return v;
    const std::uint8_t first = window.byteAt(offset);
    v.length = std::countl_zero(first) + 1;
    if (v.length > 8 || !window.holds(offset, static_cast<std::uint64_t>(v.length))) {
        if (v.length <= 8) v.length = 0;
        return v;
    }
    for (int i = 0; i < v.length; ++i)
        v.raw = (v.raw << 8) | window.byteAt(offset + static_cast<std::uint64_t>(i));
    const int valueBits = 7 * v.length;
    const std::uint64_t mask = (std::uint64_t{1} << valueBits) - 1;
    v.value = v.raw & mask;
    v.allOnes = v.value == mask;
    return v;
}

EbmlHeaderRead EbmlHeaderAt(const ByteWindow& window, std::uint64_t offset, std::uint64_t limit) {
    EbmlHeaderRead read;
    const EbmlVarInt id = EbmlVarIntAt(window, offset);
    if (id.length == 0) read.status = EbmlHeaderStatus::NotHeld;
    // An ID of all zero or all one value bits is reserved.
    if (id.length == 0 || id.length > 8 || id.value == 0 || id.allOnes) return read;
    const std::uint64_t sizeAt = offset + static_cast<std::uint64_t>(id.length);
    const EbmlVarInt size = EbmlVarIntAt(window, sizeAt);
    if (size.length == 0) read.status = EbmlHeaderStatus::NotHeld;
    if (size.length == 0 || size.length > 8) return read;

    EbmlElement& element = read.element;
    element.id = id.raw;
    element.start = offset;
    element.dataStart = sizeAt + static_cast<std::uint64_t>(size.length);
    if (element.dataStart > limit) return read;
    element.unknownSize = size.allOnes;
    element.size = size.allOnes ? limit - element.dataStart : size.value;
    if (element.size > limit - element.dataStart) return read;
    read.status = EbmlHeaderStatus::Ok;
    return read;
}

std::optional<std::uint64_t> EbmlUint(const ByteWindow& window, const EbmlElement& element) {
    if (element.size > 8 || !window.holds(element.dataStart, element.size)) return std::nullopt;
    std::uint64_t value = 0;
    for (std::uint64_t i = 0; i < element.size; ++i)
        value = (value << 8) | window.byteAt(element.dataStart + i);
    return value;
}

std::optional<double> EbmlFloat(const ByteWindow& window, const EbmlElement& element) {
    if (!window.holds(element.dataStart, element.size)) return std::nullopt;
    switch (element.size) {
        case 0:
            return 0.0;
        case 4:
            return static_cast<double>(BitCast<float>(window.uint32BeAt(element.dataStart)));
        case 8:
            return BitCast<double>(window.uint64BeAt(element.dataStart));
        default:
            return std::nullopt;
    }
}

std::string EbmlString(const ByteWindow& window, const EbmlElement& element, std::size_t maxBytes) {
    if (!window.holds(element.dataStart, element.size)) return {};
    const std::size_t count = element.size < maxBytes ? static_cast<std::size_t>(element.size) : maxBytes;
    std::string text = window.textAt(element.dataStart, count);
    const auto zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

}  // namespace discstart
