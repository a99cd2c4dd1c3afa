#include "support/memory_files.h"

#include <algorithm>
#include <cstring>

namespace discstart {

namespace {

class VirtualFile : public ByteFile {
  public:
    explicit VirtualFile(const VirtualMovie& movie) : movie_(movie) {}
    std::size_t readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) override {
        return movie_.readAt(offset, dest, count);
    }

  private:
    const VirtualMovie& movie_;
};

}  // namespace

std::size_t MemoryFile::readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
    if (offset >= bytes_.size()) return 0;
    std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - offset);
    std::memcpy(dest, bytes_.data() + offset, n);
    return n;
}

void VirtualMovie::patch32(std::uint64_t offset, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) patches_.emplace_back(offset + i, std::uint8_t(bits >> (8 * i)));
}

void VirtualMovie::place(std::uint64_t offset, const std::string& bytes) {
    blocks_.emplace_back(offset, bytes);
}

std::unique_ptr<ByteFile> VirtualMovie::open(const std::string&) const {
    return std::make_unique<VirtualFile>(*this);
}

std::optional<std::int64_t> VirtualMovie::length(const std::string&) const {
    return static_cast<std::int64_t>(length_);
}

std::size_t VirtualMovie::readAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) const {
    if (offset >= length_) return 0;
    const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(count, length_ - offset));
    std::memset(dest, 0, got);
    if (offset < bytes_->size()) {
        const std::size_t stored =
            static_cast<std::size_t>(std::min<std::uint64_t>(got, bytes_->size() - offset));
        std::memcpy(dest, bytes_->data() + offset, stored);
    }
    for (const auto& [at, block] : blocks_) {
        const std::uint64_t from = std::max(at, offset);
        const std::uint64_t to = std::min(at + block.size(), offset + got);
        if (from < to) std::memcpy(dest + (from - offset), block.data() + (from - at), to - from);
    }
    for (const auto& [at, byte] : patches_) {
        if (at >= offset && at < offset + got) dest[at - offset] = byte;
    }
    return got;
}

}  // namespace discstart
