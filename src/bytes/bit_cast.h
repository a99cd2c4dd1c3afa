#pragma once

#include <cstring>

namespace discstart {

// std::bit_cast, which GCC 10 (Debian 11's compiler, for the self-contained launcher) lacks.
template <typename To, typename From>
To BitCast(From from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

}  // namespace discstart
