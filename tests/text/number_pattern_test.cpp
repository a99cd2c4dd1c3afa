#include "text/number_pattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/number_formats.h"

namespace discstart {

namespace {

struct PatternCase {
    double value;
    std::string_view pattern;
    std::string english;
    std::string german;
};

TEST(FormatPattern, PanelPatternsInBothRegions) {
    const std::vector<PatternCase> cases = {
        {699.99999, Pattern::Megabytes, "700.00 MB", "700,00 MB"},
        {0.5, Pattern::Megabytes, "0.50 MB", "0,50 MB"},
        {0, Pattern::Megabytes, "0.00 MB", "0,00 MB"},
        {1234.5, Pattern::Megabytes, "1234.50 MB", "1234,50 MB"},  // no grouping asked for
        {936.93, Pattern::Kbits, "937 Kbit/s", "937 Kbit/s"},
        {0, Pattern::Kbits, " Kbit/s", " Kbit/s"},
        {0.49, Pattern::Kbits, " Kbit/s", " Kbit/s"},
        {0.5, Pattern::Kbits, "1 Kbit/s", "1 Kbit/s"},  // halves away from zero
        {2.5, Pattern::Kbits, "3 Kbit/s", "3 Kbit/s"},
        {-2.5, Pattern::Kbits, "-3 Kbit/s", "-3 Kbit/s"},
        {-0.4, Pattern::Kbits, " Kbit/s", " Kbit/s"},  // rounds to zero: no minus sign
        {12345, Pattern::Kbits, "12345 Kbit/s", "12345 Kbit/s"},
        {44100, Pattern::Hertz, "44,100 Hz", "44.100 Hz"},
        {48000, Pattern::Hertz, "48,000 Hz", "48.000 Hz"},
        {999, Pattern::Hertz, "999 Hz", "999 Hz"},
        {1000, Pattern::Hertz, "1,000 Hz", "1.000 Hz"},
        {1234567, Pattern::Hertz, "1,234,567 Hz", "1.234.567 Hz"},
        {-48000, Pattern::Hertz, "-48,000 Hz", "-48.000 Hz"},
        {0, Pattern::Hertz, " Hz", " Hz"},
        {23.976, Pattern::Decimal2, "23.98", "23,98"},
        {25, Pattern::Decimal2, "25.00", "25,00"},
        {1000000.0 / 33367, Pattern::Decimal2, "29.97", "29,97"},
        {0.125, Pattern::Decimal2, "0.13", "0,13"},  // an exact binary half
        {-0.125, Pattern::Decimal2, "-0.13", "-0,13"},
        {0.115, Pattern::Decimal2, "0.12", "0,12"},   // really 0.11500000000000000499...
        {2.675, Pattern::Decimal2, "2.67", "2,67"},   // really 2.67499999999999982...
        {1.005, Pattern::Decimal2, "1.00", "1,00"},   // really 1.00499999999999989...
        {-0.004, Pattern::Decimal2, "0.00", "0,00"},  // no minus on a zero result
        {-0.3, Pattern::Decimal2, "-0.30", "-0,30"},
        {99.995, Pattern::Decimal2, "100.00", "100,00"},  // the carry runs into a new digit
        {9999.995, Pattern::Hertz, "10,000 Hz", "10.000 Hz"},
        {99.996, Pattern::Decimal2, "100.00", "100,00"},
        {90, Pattern::Minutes, "90 min", "90 min"},
        {0, Pattern::Minutes, " min", " min"},
        {7, Pattern::Seconds, " 7 sec", " 7 sec"},
        {0, Pattern::Seconds, "  sec", "  sec"},
        {45, Pattern::Seconds, " 45 sec", " 45 sec"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatPattern(c.value, c.pattern, NumberFormat::English()), c.english)
            << c.value << " '" << c.pattern << "'";
        EXPECT_EQ(FormatPattern(c.value, c.pattern, GermanNumbers()), c.german)
            << c.value << " '" << c.pattern << "'";
    }
}

TEST(FormatPattern, OtherPatternShapes) {
    const NumberFormat english = NumberFormat::English();
    const NumberFormat spaced{".", "\xC2\xA0"};  // a separator longer than one byte
    const std::vector<std::tuple<double, std::string_view, NumberFormat, std::string>> cases = {
        {5, "000", english, "005"},
        {5, "0,000", english, "0,005"},
        {-5, "0,000", english, "-0,005"},
        {0.25, "#.##", english, ".25"},
        {0.5, "#.##", english, ".5"},
        {5, "#.##", english, "5."},
        {3.14159, "0.0#", english, "3.14"},
        {3.1, "0.0#", english, "3.1"},
        {12, "abc", english, "abc"},
        {12, "#,", english, "12,"},  // a comma no digit follows is text
        {1234567, "#,##0", spaced,
         "1\xC2\xA0"
         "234\xC2\xA0"
         "567"},
        {1234.5, "#,##0.00", NumberFormat{"\xC2\xB7", "'"},
         "1'234\xC2\xB7"
         "50"},
    };
    for (const auto& [value, pattern, format, text] : cases) {
        EXPECT_EQ(FormatPattern(value, pattern, format), text) << value << " '" << pattern << "'";
    }
}

TEST(FormatPattern, NonFiniteGivesEmptyText) {
    for (const double value :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        for (const auto pattern : {Pattern::Megabytes, Pattern::Kbits, Pattern::Hertz, Pattern::Seconds}) {
            EXPECT_EQ(FormatPattern(value, pattern, NumberFormat::English()), "") << value << pattern;
        }
    }
}

TEST(FormatPattern, HugeValuesKeepEveryDigit) {
    EXPECT_EQ(FormatPattern(1e20, Pattern::Kbits, NumberFormat::English()), "100000000000000000000 Kbit/s");
    EXPECT_EQ(FormatPattern(2147483647.0 / 1024 / 1024, Pattern::Megabytes, NumberFormat::English()),
              "2048.00 MB");
}

struct ParseCase {
    std::string text;
    NumberFormat format;
    std::optional<double> value;
};

TEST(ParseRegionalNumber, RegionalSpellings) {
    const NumberFormat en = NumberFormat::English();
    const NumberFormat de = GermanNumbers();
    const std::vector<ParseCase> cases = {
        {"128.00", en, 128.0},     {"128,00", de, 128.0},       {"1,234.5", en, 1234.5},
        {"1.234,5", de, 1234.5},   {"0.00", en, 0.0},           {"-3.5", en, -3.5},
        {"+7", en, 7.0},           {"  96.25 ", en, 96.25},     {".5", en, 0.5},
        {"1e3", en, 1000.0},       {"12,34", en, 1234.0},  // grouping is accepted loosely
        {"", en, std::nullopt},    {" ", en, std::nullopt},     {"abc", en, std::nullopt},
        {"12a", en, std::nullopt}, {"1.2.3", en, std::nullopt}, {",5", en, std::nullopt},
        {"5,", en, std::nullopt},  {"-", en, std::nullopt},     {"1e", en, std::nullopt},
        {"128.00", de, 12800.0},  // the dot groups digits here
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseRegionalNumber(c.text, c.format), c.value) << "'" << c.text << "'";
    }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const std::vector<std::pair<double, double>> cases = {
        {2.5, 2},
        {3.5, 4},
        {0.5, 0},
        {1.5, 2},
        {-0.5, -0},
        {-1.5, -2},
        {-2.5, -2},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {5400.0, 5400},
        {4.5000001, 5},
        {1e300, 1e300},
        {2147483647.5, 2147483648.0},
        {2147483646.5, 2147483646.0},
    };
    for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace

}  // namespace discstart
