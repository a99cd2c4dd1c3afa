#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace discstart {

// What a start-up measurement needs from the process: when it started and how much memory
// it and its children took at most. Linux /proc; parsing kept apart from reading for tests.

// The environment variable `launch` sets to its CLOCK_MONOTONIC time, in nanoseconds, just
// before it execs the measured program.
inline constexpr const char* LaunchClockVariable = "DISCSTART_LAUNCH_NS";

std::int64_t MonotonicNanoseconds();
// CPU time of every thread of this process so far: on a busy machine it moves far less
// than wall time, so small start-up changes show in it.
double ProcessCpuMilliseconds();
// CPU time of the calling thread so far.
double ThreadCpuMilliseconds();

// A decimal count of nanoseconds, nothing for anything else.
std::optional<std::int64_t> ParseNanoseconds(std::string_view text);

// The fields of /proc/PID/stat after the command name, which may itself hold spaces and
// parentheses: element 0 is field 3 (the state).
std::vector<std::string_view> StatFieldsAfterName(std::string_view stat);
std::optional<int> ParentPid(std::string_view stat);
// Field 22, in clock ticks since boot.
std::optional<std::uint64_t> StartTicks(std::string_view stat);

// The VmHWM line of /proc/PID/status (peak resident set), in KiB.
std::optional<std::int64_t> PeakResidentKib(std::string_view status);

struct ProcessLink {
    int pid;
    int parent;
};
// Every process below root, however deep, in the order found.
std::vector<int> Descendants(int root, const std::vector<ProcessLink>& links);

// Where the start of the process is taken from.
struct StartClock {
    enum class Source { Launcher, KernelTicks };
    Source source;
    std::int64_t startNs;  // on CLOCK_MONOTONIC for Launcher, CLOCK_BOOTTIME for KernelTicks

    // The launcher's time when it ran us, else the kernel's start time (10 ms ticks).
    static StartClock OfThisProcess();
    double millisecondsSinceStart() const;
    const char* sourceName() const;
};

struct MemoryPeaks {
    std::int64_t selfKib = 0;
    std::int64_t treeKib = 0;  // the sum of every live process's own peak: an upper bound
    int processes = 0;
};
MemoryPeaks MeasureMemoryPeaks();

}  // namespace discstart
