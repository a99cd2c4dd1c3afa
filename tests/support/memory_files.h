#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bytes/byte_file.h"

namespace discstart {

// One file in memory, read directly (the disc check's walkers take a ByteFile and its length).
class MemoryFile : public ByteFile {
  public:
    explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override;
    std::uint64_t length() const { return bytes_.size(); }

  private:
    std::string bytes_;
};

// A movie file in memory of any length without holding it: the given bytes, zero bytes after
// them up to `length` (as in a sparse file), little-endian numbers patched in anywhere, and
// nothing past `length`. Every path opens it.
class VirtualMovie : public FileOpener {
  public:
    VirtualMovie(std::shared_ptr<const std::vector<std::uint8_t>> bytes, std::uint64_t length)
        : bytes_(std::move(bytes)), length_(length) {}

    void patch32(std::uint64_t offset, std::int32_t value);
    // `bytes` written at `offset`, as a muxer writes the index after the media.
    void place(std::uint64_t offset, const std::string& bytes);

    std::unique_ptr<ByteFile> open(const std::string& path) const override;
    std::optional<std::int64_t> length(const std::string& path) const override;

    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) const;

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::uint64_t length_;
    std::vector<std::pair<std::uint64_t, std::uint8_t>> patches_;
    std::vector<std::pair<std::uint64_t, std::string>> blocks_;
};

}  // namespace discstart
