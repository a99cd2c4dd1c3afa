// The page and picture corpus and every crash input their fuzzers found, replayed on each
// test run, and checks shown to catch what they must.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "qt_checks.h"
#include "support/jpeg_builder.h"

namespace discstart {

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

struct Target {
    const char* name;
    Problems (*check)(FileBytes);
};

class QtReplay : public testing::TestWithParam<Target> {};

TEST_P(QtReplay, EveryInputKeepsTheInvariants) {
    int replayed = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = fs::path(DISCSTART_FUZZ_DIR) / kind / GetParam().name;
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            ++replayed;
            const Problems problems = GetParam().check(ReadAll(entry.path()));
            for (const auto& problem : problems) ADD_FAILURE() << entry.path() << ": " << problem;
        }
    }
    EXPECT_GT(replayed, 0) << "no corpus for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, QtReplay,
                         testing::Values(Target{"page", CheckPage}, Target{"picture", CheckPicture}),
                         [](const auto& info) { return std::string(info.param.name); });

// Inputs past the budgets still pass: the checks measure and refuse, they do not lay out.
TEST(QtChecks, HoldForInputsPastTheBudgets) {
    const std::string deep = std::string(20000, '<') + "div>";
    std::string nested;
    for (int i = 0; i < 20000; ++i) nested += "<div>";
    EXPECT_TRUE(
        CheckPage(FileBytes(reinterpret_cast<const std::uint8_t*>(nested.data()), nested.size())).empty());
    EXPECT_TRUE(
        CheckPage(FileBytes(reinterpret_cast<const std::uint8_t*>(deep.data()), deep.size())).empty());
    EXPECT_TRUE(CheckPicture(BuildJpeg({8192, 8192, 4, true, 0})).empty());
    EXPECT_TRUE(CheckPicture(BuildJpeg({64, 64, 1, true, 150})).empty());
}

}  // namespace

}  // namespace discstart

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
