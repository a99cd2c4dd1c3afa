#include <gtest/gtest.h>

#include "kit/finding.h"

namespace discstart {

namespace {

TEST(Finding, LineCarriesSeverityCodeFileSeenAndTodo) {
    struct Case {
        Finding finding;
        const char* line;
    } cases[] = {
        {{Severity::Error, "no-movie", "", "no movie", "add one"},
         "error[no-movie]: no movie \u2014 add one"},
        {{Severity::Warning, "avi-vbr-audio", "film.avi", "rate 0", "fix it"},
         "warning[avi-vbr-audio]: film.avi: rate 0 \u2014 fix it"},
        {{Severity::Note, "no-page", "", "no page", ""}, "note[no-page]: no page"},
    };
    for (const auto& c : cases) EXPECT_EQ(FindingLine(c.finding), c.line);
}

TEST(Finding, ExitStatusIsTheWorstSeverity) {
    auto f = [](Severity s) { return Finding{s, "x", "", "", ""}; };
    struct Case {
        std::vector<Finding> findings;
        int status;
    } cases[] = {
        {{}, 0},
        {{f(Severity::Note)}, 0},
        {{f(Severity::Note), f(Severity::Warning)}, 1},
        {{f(Severity::Error), f(Severity::Warning)}, 2},
        {{f(Severity::Warning), f(Severity::Note), f(Severity::Error)}, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(ExitStatus(c.findings), c.status);
}

TEST(Finding, MegabytesRoundToHundredths) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0.00 MB"},
        {734003200, "700.00 MB"},
        {1048576 + 5242, "1.00 MB"},
        {1048576 + 5243, "1.01 MB"},
        {5LL * 1024 * 1024 * 1024, "5120.00 MB"},
    };
    for (const auto& c : cases) EXPECT_EQ(MegabyteText(c.bytes), c.text) << c.bytes;
}

}  // namespace

}  // namespace discstart
