#pragma once

#include <cstdint>
#include <string>

namespace discstart {

// `text` `count` times: pages and style sheets built to a budget's edge.
inline std::string Repeat(const std::string& text, std::int64_t count) {
    std::string out;
    out.reserve(text.size() * std::size_t(count > 0 ? count : 0));
    for (std::int64_t i = 0; i < count; ++i) out += text;
    return out;
}

}  // namespace discstart
