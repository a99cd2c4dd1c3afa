#pragma once

#include <sys/resource.h>
#include <QtGlobal>

namespace discstart {

// The process's peak resident memory so far: what a hostile file made it take at most.
inline qint64 PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace discstart
