#include "start_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace discstart {

namespace {

// A /proc/PID/stat line: pid, name, then fields 3.. with parent 7, start ticks 4242.
std::string Stat(const std::string& name) {
    std::string line = "1234 (" + name + ") S 7";
    for (int field = 5; field <= 21; ++field) line += " " + std::to_string(field * 10);
    return line + " 4242 1000 2000\n";
}

struct StatCase {
    std::string label;
    std::string stat;
    std::optional<int> parent;
    std::optional<std::uint64_t> ticks;
};

TEST(StartProbe, ReadsParentAndStartFromStat) {
    const std::vector<StatCase> cases = {
        {"plain name", Stat("bash"), 7, 4242},
        {"name with spaces", Stat("Web Content"), 7, 4242},
        {"name with parentheses", Stat("a) S 99 (b"), 7, 4242},
        {"name that looks like fields", Stat("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"), 7, 4242},
        {"cut before the start time", "1234 (x) S 7 1 2 3", 7, std::nullopt},
        {"no name at all", "1234 x S 7 1 2", std::nullopt, std::nullopt},
        {"parent not a number", "1234 (x) S seven", std::nullopt, std::nullopt},
        {"empty", "", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParentPid(c.stat), c.parent) << c.label;
        EXPECT_EQ(StartTicks(c.stat), c.ticks) << c.label;
    }
}

struct PeakCase {
    std::string label;
    std::string status;
    std::optional<std::int64_t> kib;
};

TEST(StartProbe, ReadsThePeakResidentSetFromStatus) {
    const std::vector<PeakCase> cases = {
        {"usual layout", "Name:\tx\nVmPeak:\t  900 kB\nVmHWM:\t   25600 kB\nVmRSS:\t 100 kB\n", 25600},
        {"first line", "VmHWM: 12 kB\n", 12},
        {"peak virtual size is not it", "VmPeak:\t900 kB\n", std::nullopt},
        {"inside another key", "XVmHWM:\t5 kB\n", std::nullopt},
        {"other key first, then the line", "XVmHWM:\t5 kB\nVmHWM:\t6 kB\n", 6},
        {"unknown unit", "VmHWM:\t5 MB\n", std::nullopt},
        {"no number", "VmHWM:\t kB\n", std::nullopt},
        {"cut short", "VmHWM:\t123", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(PeakResidentKib(c.status), c.kib) << c.label;
}

struct TreeCase {
    std::string label;
    std::vector<ProcessLink> links;
    std::vector<int> descendants;
};

TEST(StartProbe, FindsEveryProcessBelowTheRoot) {
    const std::vector<TreeCase> cases = {
        {"no children", {{1, 0}, {5, 1}}, {}},
        {"children and grandchildren", {{10, 1}, {11, 10}, {12, 10}, {13, 12}, {14, 2}}, {11, 12, 13}},
        {"grandchild listed before its parent", {{13, 12}, {12, 10}}, {12, 13}},
        {"a stale cycle back to the root", {{11, 10}, {10, 11}}, {11}},
        {"a stale cycle below", {{11, 10}, {12, 11}, {11, 12}}, {11, 12}},
    };
    for (const auto& c : cases) {
        std::vector<int> found = Descendants(10, c.links);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.descendants) << c.label;
    }
}

TEST(StartProbe, TakesOnlyPlainNanosecondCounts) {
    const std::vector<std::pair<std::string, std::optional<std::int64_t>>> cases = {
        {"123456789012", 123456789012},
        {"0", 0},
        {"", std::nullopt},
        {"-5", std::nullopt},
        {"12ms", std::nullopt},
        {" 12", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, ns] : cases) EXPECT_EQ(ParseNanoseconds(text), ns) << '"' << text << '"';
}

}  // namespace

}  // namespace discstart
