#include "start_probe.h"

#include <dirent.h>
#include <time.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace discstart {

namespace {

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::int64_t ClockNanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::vector<ProcessLink> AllProcesses() {
    std::vector<ProcessLink> links;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return links;
    while (const dirent* entry = readdir(proc)) {
        const auto pid = ParseNumber<int>(entry->d_name);
        if (!pid) continue;
        if (const auto parent = ParentPid(ReadText("/proc/" + std::to_string(*pid) + "/stat")))
            links.push_back({*pid, *parent});
    }
    closedir(proc);
    return links;
}

std::int64_t PeakOf(int pid) {
    return PeakResidentKib(ReadText("/proc/" + std::to_string(pid) + "/status")).value_or(0);
}

}  // namespace

std::int64_t MonotonicNanoseconds() {
    return ClockNanoseconds(CLOCK_MONOTONIC);
}

double ProcessCpuMilliseconds() {
    return double(ClockNanoseconds(CLOCK_PROCESS_CPUTIME_ID)) / 1e6;
}

double ThreadCpuMilliseconds() {
    return double(ClockNanoseconds(CLOCK_THREAD_CPUTIME_ID)) / 1e6;
}

std::optional<std::int64_t> ParseNanoseconds(std::string_view text) {
    const auto value = ParseNumber<std::int64_t>(text);
    if (!value || *value < 0) return std::nullopt;
    return value;
}

std::vector<std::string_view> StatFieldsAfterName(std::string_view stat) {
    std::vector<std::string_view> fields;
    const auto close = stat.rfind(')');
    if (close == std::string_view::npos) return fields;
    std::string_view rest = stat.substr(close + 1);
    while (!rest.empty()) {
        const auto start = rest.find_first_not_of(" \n");
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const auto end = rest.find_first_of(" \n");
        fields.push_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    }
    return fields;
}

std::optional<int> ParentPid(std::string_view stat) {
    const auto fields = StatFieldsAfterName(stat);
    if (fields.size() < 2) return std::nullopt;
    return ParseNumber<int>(fields[1]);
}

std::optional<std::uint64_t> StartTicks(std::string_view stat) {
    const auto fields = StatFieldsAfterName(stat);
    if (fields.size() < 20) return std::nullopt;
    return ParseNumber<std::uint64_t>(fields[19]);
}

std::optional<std::int64_t> PeakResidentKib(std::string_view status) {
    constexpr std::string_view key = "VmHWM:";
    std::size_t at = 0;
    while ((at = status.find(key, at)) != std::string_view::npos && at != 0 && status[at - 1] != '\n') ++at;
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = status.substr(at + key.size());
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t")));
    const auto end = rest.find_first_not_of("0123456789");
    if (end == std::string_view::npos || rest.substr(end, 3) != " kB") return std::nullopt;
    return ParseNumber<std::int64_t>(rest.substr(0, end));
}

std::vector<int> Descendants(int root, const std::vector<ProcessLink>& links) {
    std::vector<int> found;
    std::vector<int> parents = {root};
    // Breadth first; a pid is taken once, so a cycle in a stale listing cannot loop.
    for (std::size_t next = 0; next < parents.size(); ++next) {
        for (const ProcessLink& link : links) {
            if (link.parent != parents[next] || link.pid == root) continue;
            bool seen = false;
            for (const int pid : found) seen = seen || pid == link.pid;
            if (seen) continue;
            found.push_back(link.pid);
            parents.push_back(link.pid);
        }
    }
    return found;
}

StartClock StartClock::OfThisProcess() {
    if (const char* launched = std::getenv(LaunchClockVariable)) {
        if (const auto ns = ParseNanoseconds(launched)) return {Source::Launcher, *ns};
    }
    const auto ticks = StartTicks(ReadText("/proc/self/stat")).value_or(0);
    const std::int64_t perSecond = sysconf(_SC_CLK_TCK);
    return {Source::KernelTicks, std::int64_t(ticks) * (1'000'000'000 / perSecond)};
}

double StartClock::millisecondsSinceStart() const {
    const std::int64_t now = ClockNanoseconds(source == Source::Launcher ? CLOCK_MONOTONIC : CLOCK_BOOTTIME);
    return double(now - startNs) / 1e6;
}

const char* StartClock::sourceName() const {
    return source == Source::Launcher ? "launcher" : "kernel-ticks";
}

MemoryPeaks MeasureMemoryPeaks() {
    MemoryPeaks peaks;
    peaks.selfKib = PeakOf(getpid());
    peaks.treeKib = peaks.selfKib;
    peaks.processes = 1;
    for (const int pid : Descendants(getpid(), AllProcesses())) {
        peaks.treeKib += PeakOf(pid);
        ++peaks.processes;
    }
    return peaks;
}

}  // namespace discstart
