#pragma once

#include "text/number_format.h"

namespace discstart {

// A regional format whose separators are the other way round from the English defaults.
inline NumberFormat GermanNumbers() {
    return {",", "."};
}

}  // namespace discstart
