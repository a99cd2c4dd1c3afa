#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bytes/byte_file.h"

namespace discstart {

// A run of a file's bytes held in memory, starting at `base`. Every accessor is bounds-checked:
// a byte outside the run reads as zero, so untrusted offsets never reach memory unchecked.
class ByteWindow {
  public:
    ByteWindow() = default;
    ByteWindow(std::uint64_t base, std::vector<std::uint8_t> bytes, bool reachesEnd);

    // One read call of `count` bytes at `offset`; a short read marks the end of the file.
    static ByteWindow Read(ByteFile& file, std::uint64_t offset, std::size_t count);

    std::uint64_t base() const { return base_; }
    std::uint64_t end() const { return base_ + bytes_.size(); }
    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // True when every byte of [offset, offset + count) is either held here or known to lie
    // past the end of the file, so that reading it needs no further file access.
    bool covers(std::uint64_t offset, std::size_t count) const;

    // True when every byte of [offset, offset + count) is held here; checkers use it to
    // tell a field that is there from one cut off by the end of the file.
    bool holds(std::uint64_t offset, std::uint64_t count) const;

    std::uint8_t byteAt(std::uint64_t offset) const;
    std::uint16_t uint16At(std::uint64_t offset) const;
    std::uint32_t uint32At(std::uint64_t offset) const;
    std::int16_t int16At(std::uint64_t offset) const { return static_cast<std::int16_t>(uint16At(offset)); }
    std::int32_t int32At(std::uint64_t offset) const { return static_cast<std::int32_t>(uint32At(offset)); }
    // Big-endian, for ISO media boxes and EBML.
    std::uint16_t uint16BeAt(std::uint64_t offset) const;
    std::uint32_t uint32BeAt(std::uint64_t offset) const;
    std::uint64_t uint64BeAt(std::uint64_t offset) const;
    // `count` raw bytes, one character each, zero bytes outside the run.
    std::string textAt(std::uint64_t offset, std::size_t count) const;

  private:
    std::uint64_t base_ = 0;
    std::vector<std::uint8_t> bytes_;
    bool reachesEnd_ = false;
};

// Serves small reads from a first large block and, for positions beyond it, one further
// small block at a time, so a header parse costs one or two read calls.
class BlockReader {
  public:
    static constexpr std::size_t FirstBlock = 4096;
    static constexpr std::size_t ExtraBlock = 512;

    explicit BlockReader(ByteFile& file);
    // A window that covers [offset, offset + count).
    const ByteWindow& at(std::uint64_t offset, std::size_t count);

  private:
    ByteFile& file_;
    ByteWindow first_;
    ByteWindow extra_;
};

}  // namespace discstart
