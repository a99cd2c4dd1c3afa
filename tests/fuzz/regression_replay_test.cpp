#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_checks.h"

namespace discstart {

namespace {

namespace fs = std::filesystem;

struct EntryPoint {
    const char* name;
    Problems (*check)(FileBytes);
};

constexpr EntryPoint EntryPoints[] = {
    {"ReadAviHeader", CheckAviHeader}, {"ReadInfoTags", CheckInfoTags}, {"ReadOggInfo", CheckOggInfo},
    {"RunPanel", CheckPanel},          {"ReadMatroska", CheckMatroska}, {"ReadIsoMedia", CheckIsoMedia},
};

// The folders are listed when the test runs, so a new crash input needs no rebuild.
std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::is_directory(folder)) return files;
    for (const auto& target : fs::directory_iterator(folder)) {
        if (!target.is_directory()) continue;
        for (const auto& entry : fs::directory_iterator(target.path())) {
            if (entry.is_regular_file() && !entry.path().filename().string().starts_with('.')) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::string Lines(const Problems& problems) {
    std::string text;
    for (const auto& problem : problems) text += "  " + problem + "\n";
    return text;
}

// The real movies the tests use, made by encoders rather than by hand.
std::vector<fs::path> TestMovies() {
    std::vector<fs::path> files;
    const fs::path folder = DISCSTART_MEDIA_DIR;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".avi") files.push_back(entry.path());
    }
    return files;
}

// The seed corpus, the test movies and the crash inputs the fuzzers found, each kept for good.
std::vector<fs::path> ReplayFiles() {
    auto files = FilesIn(fs::path(DISCSTART_FUZZ_DIR) / "corpus");
    for (auto more : {TestMovies(), FilesIn(fs::path(DISCSTART_FUZZ_DIR) / "regressions")}) {
        files.insert(files.end(), more.begin(), more.end());
    }
    return files;
}

class RegressionReplay : public testing::TestWithParam<EntryPoint> {};

TEST_P(RegressionReplay, EveryInputKeepsTheInvariants) {
    const auto files = ReplayFiles();
    ASSERT_FALSE(files.empty()) << "no corpus under " << DISCSTART_FUZZ_DIR;
    for (const auto& file : files) {
        const Problems problems = GetParam().check(ReadAll(file));
        EXPECT_TRUE(problems.empty()) << GetParam().name << " on " << file << ":\n" << Lines(problems);
    }
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, RegressionReplay, testing::ValuesIn(EntryPoints),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace discstart
