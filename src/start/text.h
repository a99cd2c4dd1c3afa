#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace discstart {

namespace Start {

// string_view's substr throws, which would pull in the C++ library: these cut instead.
inline std::string_view Head(std::string_view text, size_t count) {
    return {text.data(), count < text.size() ? count : text.size()};
}
inline std::string_view Tail(std::string_view text, size_t from) {
    return from < text.size() ? std::string_view(text.data() + from, text.size() - from) : std::string_view();
}

// Text in a buffer of its own, for the start program, which allocates nothing. What does not
// fit is cut off.
template <size_t Capacity>
class FixedText {
  public:
    FixedText& operator<<(std::string_view text) {
        const size_t room = Capacity - size_;
        const size_t count = text.size() < room ? text.size() : room;
        std::memcpy(data_ + size_, text.data(), count);
        size_ += count;
        data_[size_] = '\0';
        return *this;
    }
    FixedText& operator<<(char c) { return *this << std::string_view(&c, 1); }

    std::string_view view() const { return {data_, size_}; }
    const char* c_str() const { return data_; }
    bool empty() const { return size_ == 0; }
    size_t room() const { return Capacity - size_; }
    void clear() {
        size_ = 0;
        data_[0] = '\0';
    }

  private:
    char data_[Capacity + 1] = {};
    size_t size_ = 0;
};

}  // namespace Start

}  // namespace discstart
