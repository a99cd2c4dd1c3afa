#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/number_formats.h"
#include "text/number_format.h"

namespace discstart {

namespace {

struct FixedCase {
    double value;
    int decimals;
    NumberFormat format;
    std::string expected;
};

const NumberFormat En = NumberFormat::English();
const NumberFormat De = GermanNumbers();
const NumberFormat Swiss{".", "\xE2\x80\x99"};  // a multi-byte group separator
constexpr double Inf = std::numeric_limits<double>::infinity();

const std::vector<FixedCase> FixedCases = {
    {1234567.891, 3, De, "1.234.567,891"},
    {1234567.891, 3, En, "1,234,567.891"},
    {1234567.891, 1, Swiss,
     "1\xE2\x80\x99"
     "234\xE2\x80\x99"
     "567.9"},
    {25.0, 3, En, "25.000"},
    {10'000'000.0 / 417'083, 3, En, "23.976"},
    {10'000'000.0, 3, De, "10.000.000,000"},
    {128.0, 2, En, "128.00"},
    {0.0, 2, En, "0.00"},
    {999.0, 0, En, "999"},
    {1000.0, 0, En, "1,000"},
    {100000.0, 0, En, "100,000"},
    // Exact binary halves go away from zero, not to even.
    {0.125, 2, En, "0.13"},
    {-0.125, 2, En, "-0.13"},
    {0.5, 0, En, "1"},
    {2.5, 0, En, "3"},
    {-2.5, 0, En, "-3"},
    // Decimal-looking halves that are below the half in binary round down.
    {2.675, 2, En, "2.67"},
    {1.005, 2, En, "1.00"},
    // ... and ones above it round up.
    {0.005, 2, En, "0.01"},
    // Carries through every digit and into a new group.
    {999.995, 2, En, "1,000.00"},
    {9'999'999.9996, 3, En, "10,000,000.000"},
    // No minus sign on a value that rounds to zero.
    {-0.001, 2, En, "0.00"},
    {-0.0, 3, En, "0.000"},
    {-0.4, 0, En, "0"},
    {-25.0, 3, En, "-25.000"},
    {1e20, 0, En, "100,000,000,000,000,000,000"},
    {5e-324, 2, En, "0.00"},
    {std::nan(""), 2, En, ""},
    {Inf, 3, En, ""},
    {-Inf, 3, En, ""},
};

TEST(FormatFixed, RoundsGroupsAndSeparates) {
    for (const auto& c : FixedCases) {
        EXPECT_EQ(FormatFixed(c.value, c.decimals, c.format), c.expected) << c.value << " @" << c.decimals;
    }
}

TEST(RoundDecimal, SplitsDigitsAndClampsDecimals) {
    EXPECT_EQ(RoundDecimal(0.25, 1), (RoundedDecimal{false, "0", "3"}));
    EXPECT_EQ(RoundDecimal(-12.0, 0), (RoundedDecimal{true, "12", ""}));
    EXPECT_EQ(RoundDecimal(1.5, -3), (RoundedDecimal{false, "2", ""}));
    EXPECT_EQ(RoundDecimal(0.5, 5000)->fractionDigits.size(), static_cast<std::size_t>(MaxDecimals));
    EXPECT_EQ(GroupThousands("1234", " "), "1 234");
    EXPECT_EQ(GroupThousands("", ","), "");
}

}  // namespace

}  // namespace discstart
