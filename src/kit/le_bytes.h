#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class ByteFile;

// Little-endian reads from a buffer that answer "nothing" instead of reading past its end.
class LeBytes {
  public:
    explicit LeBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    bool has(std::uint64_t pos, std::uint64_t count) const {
        return pos <= bytes_.size() && count <= bytes_.size() - pos;
    }
    std::optional<std::uint8_t> u8(std::uint64_t pos) const;
    std::optional<std::uint16_t> u16(std::uint64_t pos) const;
    std::optional<std::uint32_t> u32(std::uint64_t pos) const;
    std::optional<std::uint64_t> u64(std::uint64_t pos) const;
    // `count` raw bytes, or empty when they are not all there.
    std::string text(std::uint64_t pos, std::size_t count) const;

  private:
    std::optional<std::uint64_t> number(std::uint64_t pos, int width) const;

    std::span<const std::uint8_t> bytes_;
};

// Up to `count` bytes at `offset`, fewer where the file ends. Callers bound `count`.
std::vector<std::uint8_t> ReadSome(ByteFile& file, std::uint64_t offset, std::size_t count);

// A four-character code for messages: printable bytes as they are, others as \xNN.
std::string PrintableCode(const std::string& raw);
