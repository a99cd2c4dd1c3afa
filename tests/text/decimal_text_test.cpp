#include "text/decimal_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace discstart {

namespace {

// The build's way and the C library's way give the same text, and read it back the same.
TEST(DecimalText, BothWaysAgree) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {0, 0, "0"},
        {0.5, 0, "0"},  // the exact value is printed, rounded to even by both
        {1.5, 0, "2"},
        {25, 2, "25.00"},
        {0.1, 20, "0.10000000000000000555"},
        {1e21, 1, "1000000000000000000000.0"},
        {5e-324, 1074, nullptr},  // the smallest double, every digit of it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const auto mine = FixedDecimalText(c.value, c.decimals);
        const auto portable = Portable::FixedDecimalText(c.value, c.decimals);
        ASSERT_TRUE(mine && portable);
        EXPECT_EQ(*mine, *portable);
        if (c.text) {
            EXPECT_EQ(*mine, c.text);
        }
        // Both read back the same double, which is the value where the digits hold all of it.
        EXPECT_EQ(ParseDecimalText(*mine), Portable::ParseDecimalText(*portable));
        if (c.decimals >= 1) {
            EXPECT_EQ(ParseDecimalText(*mine), c.value);
        }
    }
    EXPECT_EQ(Portable::FixedDecimalText(5e-324, 1074)->size(), 1076u);
}

TEST(DecimalText, OnlyTheWholeTextIsRead) {
    struct Case {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"123.45", 123.45},     {"1e5", 1e5},          {"-2.5", -2.5},
        {"2.5E-1", 0.25},       {"1,5", std::nullopt}, {"+1", std::nullopt},
        {"1.5x", std::nullopt}, {"", std::nullopt},    {" 1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseDecimalText(c.text), c.value);
        EXPECT_EQ(Portable::ParseDecimalText(c.text), c.value);
    }
}

TEST(DecimalText, TheLocalesDecimalPointStaysOut) {
#ifdef _WIN32
    GTEST_SKIP() << "the German locale is made with Linux's localedef";
#else
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "decimal-text-locale";
    std::filesystem::create_directories(folder);
    const std::string make =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' 2>/dev/null";
    if (!std::filesystem::exists(folder / "de_DE.UTF-8") && std::system(make.c_str()) != 0)
        GTEST_SKIP() << "no German locale can be made here (localedef)";
    setenv("LOCPATH", folder.c_str(), 1);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 1.5);
    EXPECT_STREQ(printed, "1,5");  // the locale is in force
    EXPECT_EQ(Portable::FixedDecimalText(1.5, 1), "1.5");
    EXPECT_EQ(Portable::ParseDecimalText("1.5"), 1.5);
    EXPECT_EQ(Portable::ParseDecimalText("1,5"), std::nullopt);
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
#endif
}

}  // namespace

}  // namespace discstart
