#include "le_bytes.h"

#include "byte_file.h"

std::optional<std::uint64_t> LeBytes::number(std::uint64_t pos, int width) const {
    if (!has(pos, std::uint64_t(width))) return std::nullopt;
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes_[pos + std::uint64_t(i)];
    return value;
}

std::optional<std::uint8_t> LeBytes::u8(std::uint64_t pos) const {
    auto v = number(pos, 1);
    return v ? std::optional<std::uint8_t>(std::uint8_t(*v)) : std::nullopt;
}

std::optional<std::uint16_t> LeBytes::u16(std::uint64_t pos) const {
    auto v = number(pos, 2);
    return v ? std::optional<std::uint16_t>(std::uint16_t(*v)) : std::nullopt;
}

std::optional<std::uint32_t> LeBytes::u32(std::uint64_t pos) const {
    auto v = number(pos, 4);
    return v ? std::optional<std::uint32_t>(std::uint32_t(*v)) : std::nullopt;
}

std::optional<std::uint64_t> LeBytes::u64(std::uint64_t pos) const {
    return number(pos, 8);
}

std::string LeBytes::text(std::uint64_t pos, std::size_t count) const {
    if (!has(pos, count)) return {};
    auto part = bytes_.subspan(pos, count);
    return std::string(part.begin(), part.end());
}

std::vector<std::uint8_t> ReadSome(ByteFile& file, std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::size_t got = 0;
    while (got < count) {
        std::size_t n = file.readAt(offset + got, bytes.data() + got, count - got);
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

std::string PrintableCode(const std::string& raw) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : raw) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}
