#include "media/iso/boxes.h"

#include <algorithm>

namespace discstart {

namespace Iso {

namespace {

// A window read short ends where the file does.
bool EndsTheFile(const ByteWindow& window) {
    return window.covers(window.end(), 1);
}

}  // namespace

std::string Payload::text(std::uint64_t at, std::uint64_t count) const {
    if (at >= size_) return {};
    return window_->textAt(start_ + at, static_cast<std::size_t>(std::min(count, size_ - at)));
}

BoxFile::BoxFile(ByteFile& file, const ByteWindow& head) : file_(file), head_(head), bytes_(head.size()) {
    if (EndsTheFile(head)) fileEnd_ = head.end();
}

const ByteWindow* BoxFile::held(std::uint64_t offset, std::uint64_t count) const {
    if (head_.holds(offset, count)) return &head_;
    for (const ByteWindow& window : windows_) {
        if (window.holds(offset, count)) return &window;
    }
    return nullptr;
}

const ByteWindow* BoxFile::hold(std::uint64_t offset, std::uint64_t count) {
    if (count > LongWindow) return nullptr;
    if (const ByteWindow* window = held(offset, count)) return window;
    if (offset >= fileEnd_ || count > fileEnd_ - offset) return nullptr;
    if (reads_ >= MaxReads || bytes_ >= MaxBytes) return nullptr;
    const std::uint64_t size =
        std::min<std::uint64_t>(std::max<std::uint64_t>(WindowSize, count), MaxBytes - bytes_);
    if (size < count) return nullptr;
    const ByteWindow& window = windows_.emplace_back(ByteWindow::Read(file_, offset, size));
    ++reads_;
    bytes_ += size;
    if (EndsTheFile(window)) fileEnd_ = std::min(fileEnd_, window.end());
    return window.holds(offset, count) ? &window : nullptr;
}

std::optional<Box> BoxFile::boxAt(std::uint64_t offset, std::uint64_t parentEnd) {
    if (offset >= parentEnd || parentEnd - offset < 8) return std::nullopt;
    const ByteWindow* window = hold(offset, 8);
    if (!window) return std::nullopt;
    Box box;
    box.type = window->textAt(offset + 4, 4);
    std::uint64_t size = window->uint32BeAt(offset);
    std::uint64_t header = 8;
    if (size == 1) {
        window = hold(offset, 16);
        if (!window) return std::nullopt;
        size = window->uint64BeAt(offset + 8);
        header = 16;
    } else if (size == 0) {
        size = parentEnd - offset;  // to the end of the file, or of the box it lies in
    }
    if (size < header || size > parentEnd - offset) return std::nullopt;
    box.start = offset;
    box.payload = offset + header;
    box.end = offset + size;
    return box;
}

Payload BoxFile::payload(const Box& box, std::uint64_t count) {
    const std::uint64_t size = std::min(count, box.payloadSize());
    if (size == 0) return Payload(head_, box.payload, 0);  // nothing to read for it
    const ByteWindow* window = hold(box.payload, size);
    return window ? Payload(*window, box.payload, size) : Payload();
}

}  // namespace Iso

}  // namespace discstart
