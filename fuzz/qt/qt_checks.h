#pragma once

// Invariants of the window's Qt parts for any bytes: a page read by the light engine and a
// picture decoded from memory. They need a QGuiApplication.

#include "fuzz_checks.h"

namespace discstart {

// The bytes as a page: measured, and when within the budgets parsed and laid out as the view
// would. A page that takes too long is a timeout of the fuzzer: a hole in the budgets.
Problems CheckPage(FileBytes file);
// The bytes as a picture: decoded at the cover's size and at its own size within a cap.
Problems CheckPicture(FileBytes file);

}  // namespace discstart
