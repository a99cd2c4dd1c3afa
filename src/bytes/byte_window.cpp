#include "bytes/byte_window.h"

#include <algorithm>

namespace discstart {

ByteWindow::ByteWindow(std::uint64_t base, std::vector<std::uint8_t> bytes, bool reachesEnd)
    : base_(base), bytes_(std::move(bytes)), reachesEnd_(reachesEnd) {}

ByteWindow ByteWindow::Read(ByteFile& file, std::uint64_t offset, std::size_t count) {
    auto bytes = file.read(offset, count);
    const bool reachesEnd = bytes.size() < count;
    return ByteWindow(offset, std::move(bytes), reachesEnd);
}

bool ByteWindow::covers(std::uint64_t offset, std::size_t count) const {
    if (offset < base_) return false;
    return reachesEnd_ || holds(offset, count);
}

std::uint8_t ByteWindow::byteAt(std::uint64_t offset) const {
    if (offset < base_ || offset - base_ >= bytes_.size()) return 0;
    return bytes_[static_cast<std::size_t>(offset - base_)];
}

bool ByteWindow::holds(std::uint64_t offset, std::uint64_t count) const {
    return offset >= base_ && offset - base_ <= bytes_.size() && count <= bytes_.size() - (offset - base_);
}

std::uint16_t ByteWindow::uint16At(std::uint64_t offset) const {
    return static_cast<std::uint16_t>(byteAt(offset) | (byteAt(offset + 1) << 8));
}

std::uint32_t ByteWindow::uint32At(std::uint64_t offset) const {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | byteAt(offset + static_cast<std::uint64_t>(i));
    return value;
}

std::uint16_t ByteWindow::uint16BeAt(std::uint64_t offset) const {
    return static_cast<std::uint16_t>((byteAt(offset) << 8) | byteAt(offset + 1));
}

std::uint32_t ByteWindow::uint32BeAt(std::uint64_t offset) const {
    std::uint32_t value = 0;
    for (std::uint64_t i = 0; i < 4; ++i) value = (value << 8) | byteAt(offset + i);
    return value;
}

std::uint64_t ByteWindow::uint64BeAt(std::uint64_t offset) const {
    return (std::uint64_t{uint32BeAt(offset)} << 32) | uint32BeAt(offset + 4);
}

std::string ByteWindow::textAt(std::uint64_t offset, std::size_t count) const {
    std::string text(count, '\0');
    for (std::size_t i = 0; i < count; ++i) text[i] = static_cast<char>(byteAt(offset + i));
    return text;
}

BlockReader::BlockReader(ByteFile& file) : file_(file), first_(ByteWindow::Read(file, 0, FirstBlock)) {}

const ByteWindow& BlockReader::at(std::uint64_t offset, std::size_t count) {
    if (first_.covers(offset, count)) return first_;
    if (!extra_.covers(offset, count)) {
        extra_ = ByteWindow::Read(file_, offset, std::max(count, ExtraBlock));
    }
    return extra_;
}

}  // namespace discstart
