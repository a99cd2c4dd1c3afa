#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace discstart {

// The bits of a run of bytes, most significant first, as codec set-ups pack their fields. Bits
// past the end read as zero and mark the reader as overrun, so a cut set-up is told from a whole one.
class BitReader {
  public:
    explicit BitReader(std::string_view bytes) : bytes_(bytes) {}

    // The next `count` bits (at most 32) as a number.
    std::uint32_t read(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            std::uint32_t bit = 0;
            if (position_ < bytes_.size() * 8) {
                const auto byte = static_cast<std::uint8_t>(bytes_[position_ / 8]);
                bit = (byte >> (7 - position_ % 8)) & 1u;
                ++position_;
            } else {
                overrun_ = true;
            }
            value = (value << 1) | bit;
        }
        return value;
    }
    bool flag() { return read(1) != 0; }
    // Past the bits of a field too long to be of use, `count` of them.
    void skip(std::size_t count) {
        const std::size_t room = left();
        if (count > room) overrun_ = true;
        position_ += count > room ? room : count;
    }
    // To the start of the next byte.
    void align() { skip((8 - position_ % 8) % 8); }

    std::size_t left() const { return bytes_.size() * 8 - position_; }
    bool overrun() const { return overrun_; }

  private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    bool overrun_ = false;
};

}  // namespace discstart
