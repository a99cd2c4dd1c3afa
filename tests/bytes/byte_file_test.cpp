#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>

#include "bytes/byte_file.h"
#include "media/riff/avi_header.h"
#include "support/header_bytes.h"
#include "system/system.h"

namespace discstart {

namespace {

struct ReadCase {
    std::uint64_t offset;
    std::size_t count;
    Bytes expected;
};

// Reads return what exists: whole, short at the end, empty past it.
const std::vector<ReadCase> ReadCases = {
    {0, 3, {'a', 'b', 'c'}}, {4, 10, {'e', 'f'}}, {6, 1, {}}, {100, 4, {}}, {2, 0, {}},
};

TEST(MemoryFiles, ReadsWhatExists) {
    MemoryFiles files;
    files.add("f", std::string("abcdef"));
    for (const auto& c : ReadCases) {
        EXPECT_EQ(files.open("f")->read(c.offset, c.count), c.expected) << c.offset << "+" << c.count;
    }
    EXPECT_EQ(files.length("f"), 6);
    EXPECT_EQ(files.open("g"), nullptr);
    EXPECT_EQ(files.length("g"), std::nullopt);
    files.add("f", std::string("xy"));
    EXPECT_EQ(files.open("f")->read(0, 10), (Bytes{'x', 'y'}));
}

TEST(CountingFiles, CountsOpensReadsAndBytes) {
    MemoryFiles memory;
    memory.add("f", std::string(100, 'x'));
    CountingFiles files(memory);
    {
        auto file = files.open("f");
        file->read(90, 20);
        file->read(0, 5);
    }
    EXPECT_EQ(files.open("missing"), nullptr);
    EXPECT_EQ(files.counts().opens, 2);
    EXPECT_EQ(files.counts().reads, 2);
    EXPECT_EQ(files.counts().bytes, 15u);
    files.reset();
    EXPECT_EQ(files.counts().opens, 0);
}

class DiskFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("readers_disk_" + std::to_string(std::random_device()()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

TEST_F(DiskFilesTest, ReadsARegularFileAndItsLengthThroughALink) {
    const Bytes avi = BuildAvi({});
    std::ofstream(path("film.avi"), std::ios::binary)
        .write(reinterpret_cast<const char*>(avi.data()), avi.size());
#ifdef _WIN32
    // Windows gives symbolic links to administrators only.
    std::filesystem::copy_file(path("film.avi"), path("link.avi"));
#else
    std::filesystem::create_symlink(path("film.avi"), path("link.avi"));
#endif

    auto file = DiskFiles().open(path("link.avi"));
    ASSERT_NE(file, nullptr);
    for (const auto& c :
         std::vector<std::pair<std::uint64_t, std::size_t>>{{0, 12}, {290, 100}, {1u << 20, 8}}) {
        const auto got = file->read(c.first, c.second);
        const auto start = std::min<std::size_t>(c.first, avi.size());
        const auto end = std::min<std::size_t>(start + c.second, avi.size());
        EXPECT_EQ(got, Bytes(avi.begin() + start, avi.begin() + end)) << c.first;
    }
    EXPECT_EQ(DiskFiles().length(path("link.avi")), static_cast<std::int64_t>(avi.size()));
    AviHeaderInfo info;
    EXPECT_EQ(ReadAviHeader(path("film.avi"), info, DiskFiles()), MovieFileKind::Avi);
    EXPECT_EQ(info.audioSampleRate, 48'000);
}

TEST_F(DiskFilesTest, RefusesWhatIsNotARegularFileWithoutBlocking) {
    std::vector<const char*> names{"dir.avi", "missing.avi"};
#ifndef _WIN32
    // A FIFO with no writer would block a plain open for reading.
    ASSERT_EQ(::mkfifo(path("fifo.avi").c_str(), 0600), 0);
    names.push_back("fifo.avi");
#endif
    std::filesystem::create_directory(path("dir.avi"));
    for (const char* name : names) {
        EXPECT_EQ(DiskFiles().open(path(name)), nullptr) << name;
        EXPECT_EQ(DiskFiles().length(path(name)), std::nullopt) << name;
        AviHeaderInfo info;
        EXPECT_EQ(ReadAviHeader(path(name), info, DiskFiles()), MovieFileKind::Other) << name;
    }
}

}  // namespace

}  // namespace discstart
