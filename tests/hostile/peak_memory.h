#pragma once

#include <QtGlobal>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace discstart {

// The process's peak resident memory so far: what a hostile file made it take at most.
inline qint64 PeakMegabytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return qint64(counters.PeakWorkingSetSize / (1024 * 1024));
#else
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
#endif
}

}  // namespace discstart
