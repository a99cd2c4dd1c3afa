#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

#include "fuzz_checks.h"
#include "info/panel.h"
#include "support/header_bytes.h"
#include "support/memory_files.h"
#include "support/movie_bytes.h"
#include "system/system.h"

namespace discstart {

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();

// The size values a hostile header tries: tiny, around one byte's range, and the 32-bit ends.
const std::vector<std::int32_t> SizeValues = {0, 1, 3, 4, 255, 256, 257, -1, Max32, Min32};

std::string Lines(const Problems& problems) {
    std::string text;
    for (const auto& problem : problems) text += "  " + problem + "\n";
    return text;
}

Bytes ReadAll(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// What one panel run may cost, whatever the file: a few opens, a few reads, a few kilobytes.
constexpr int MaxOpens = 4;
constexpr int MaxReads = 8;
// The tags and AVI reads, and an Ogg file's first block and its last 64 KiB.
constexpr std::uint64_t MaxBytes = (20 + 64) * 1024;

// One run on `movie`: never throws, UTF-8 texts only, within the read budget. The rows
// that hang on no size field are returned for the caller to check.
PanelUpdate RunChecked(const FileOpener& movie, const std::string& what) {
    CountingFiles counting(movie);
    MovieTags tags;
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    PanelUpdate update;
    EXPECT_NO_THROW(update =
                        RunPanel({"film.avi", {}, true, NumberFormat::English()}, {tags, avi, ogg}, counting))
        << what;
    EXPECT_LE(counting.counts().opens, MaxOpens) << what;
    EXPECT_LE(counting.counts().reads, MaxReads) << what;
    EXPECT_LE(counting.counts().bytes, MaxBytes) << what;
    for (const auto* line :
         {&update.titleLine, &update.authorLine, &update.copyrightLine, &update.genreLine}) {
        EXPECT_TRUE(IsValidUtf8(line->value_or(""))) << what;
    }
    for (const auto& row : update.rows) EXPECT_TRUE(IsValidUtf8(row.value_or(""))) << what;
    return update;
}

// Every prefix of every real movie: a cheap run on each length, and the full set of
// invariants on the lengths where the headers end and on a spread of the rest.
TEST(HostilePanel, EveryTruncationOfTheTestMovies) {
    std::vector<fs::path> movies;
    for (const auto& entry : fs::directory_iterator(TEST_DATA_DIR)) {
        if (entry.path().extension() == ".avi") movies.push_back(entry.path());
    }
    ASSERT_GE(movies.size(), 5u);
    for (const fs::path& movie : movies) {
        const auto bytes = std::make_shared<const Bytes>(ReadAll(movie));
        const std::string name = movie.filename().string();
        for (std::size_t length = 0; length <= bytes->size(); ++length) {
            const std::string what = name + " cut to " + std::to_string(length);
            RunChecked(VirtualMovie(bytes, length), what);
            if (length < 1024 || length % 61 == 0) {
                EXPECT_EQ(Lines(CheckPanel(FileBytes(bytes->data(), length))), "") << what;
            }
            if (HasFailure()) return;  // one broken length is enough to read
        }
    }
}

// The typical two-stream header with one size field replaced, at the field's own offset.
struct SizeField {
    const char* name;
    std::size_t offset;
};
constexpr SizeField SizeFields[] = {{"A", 28}, {"S", 36 + 56}, {"H", 56 + 56 + 116}};

TEST(HostilePanel, AviSizeFieldsAtTheirLimits) {
    for (const auto& [field, offset] : SizeFields) {
        for (const std::int32_t value : SizeValues) {
            ByteWriter file{BuildAvi({})};
            file.int32(offset, value);
            const std::string what = std::string(field) + " = " + std::to_string(value);
            EXPECT_EQ(Lines(CheckPanel(file.bytes)), "") << what;
            const PanelUpdate update =
                RunChecked(VirtualMovie(std::make_shared<Bytes>(file.bytes), file.bytes.size()), what);
            // The main header lies before every size: its rows stand whatever the sizes say.
            EXPECT_EQ(update.rows[3], "25.00") << what;
            EXPECT_EQ(update.rows[9], "700.00 MB") << what;
            EXPECT_EQ(update.rows[2], "640 x 272") << what;
        }
    }
}

TEST(HostilePanel, InfoListSizeAtItsLimits) {
    const Bytes content = BuildInfoContent({{"INAM", "Film"}, {"IART", "Ann"}});
    for (const std::int32_t value : SizeValues) {
        ByteWriter file{BuildInfoFile(400, content, 2000)};
        file.text(8, "AVI ").int32(396, value);
        const std::string what = "L = " + std::to_string(value);
        EXPECT_EQ(Lines(CheckPanel(file.bytes)), "") << what;
        const PanelUpdate update =
            RunChecked(VirtualMovie(std::make_shared<Bytes>(file.bytes), file.bytes.size()), what);
        const bool read = value >= 24 && value <= 256;  // holds both sub-chunks, within the limit
        EXPECT_EQ(update.titleLine, read ? "Film" : "") << what;
    }
}

// Sizes that send the stream fields gigabytes away, past 32 bits or before the file, in a
// sparse 6 GiB movie whose every far position holds a size again.
TEST(HostilePanel, StreamPositionsThatOverflow32Bits) {
    struct Case {
        std::int32_t a, s, h;
    };
    const Case cases[] = {
        {Max32, Max32, Max32},
        {0x40000000, 0x40000000, 0},
        {0x40000000, 0x40000000, 0x40000000},
        {Max32 - 40, 1, 1},
        {56, Max32 - 60, 56},
        {56, 116, Max32 - 100},
        {Min32, Min32, Min32},
        {-36, -56, -60},
        {-1000, 116, 56},
        {0x7ffffff0, -0x7ffffff0, 56},
    };
    const auto header = std::make_shared<const Bytes>(BuildAvi({}));
    for (const Case& c : cases) {
        VirtualMovie movie(header, std::uint64_t(6) << 30);
        const std::int64_t sPos = 36 + std::int64_t(c.a);
        const std::int64_t hPos = 56 + std::int64_t(c.a) + c.s;
        movie.patch32(28, c.a);
        if (sPos >= 0) movie.patch32(std::uint64_t(sPos), c.s);
        if (hPos >= 0) movie.patch32(std::uint64_t(hPos), c.h);
        const std::string what = std::to_string(c.a) + " " + std::to_string(c.s) + " " + std::to_string(c.h);
        const PanelUpdate update = RunChecked(movie, what);
        EXPECT_EQ(update.kind, MovieFileKind::Avi) << what;
        EXPECT_EQ(update.rows[3], "25.00") << what;
        EXPECT_EQ(update.rows[9], "700.00 MB") << what;
    }
}

bool LooksNumeric(const std::string& text) {
    std::string lower;
    std::transform(text.begin(), text.end(), std::back_inserter(lower),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower.find("inf") == std::string::npos && lower.find("nan") == std::string::npos;
}

// A frame duration of zero or below, and frame counts whose running time leaves 32 bits.
TEST(HostilePanel, TimingFieldsThatBreakTheArithmetic) {
    const std::int32_t durations[] = {0, -1, -40'000, Min32, 1, Max32};
    const std::int32_t frames[] = {0, -1, 135'000, Max32, Min32};
    for (const std::int32_t duration : durations) {
        for (const std::int32_t count : frames) {
            const std::string movie = AviBytes({.microSecPerFrame = duration, .totalFrames = count});
            const Bytes bytes(movie.begin(), movie.end());
            EXPECT_EQ(Lines(CheckPanel(bytes)), "") << duration << " us, " << count << " frames";
            MovieTags tags;
            AviHeaderInfo avi;
            OggStreamInfo ogg;
            MemoryFiles files;
            files.add("film.avi", movie);
            const PanelUpdate update =
                RunPanel({"film.avi", {}, true, NumberFormat::English()}, {tags, avi, ogg}, files);
            for (const auto& row : update.rows) {
                EXPECT_TRUE(LooksNumeric(row.value_or("")))
                    << *row << " for " << duration << " us, " << count;
            }
        }
    }
}

TEST(HostilePanel, EmptyFileEmptiesTheTitleLineOnly) {
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath("film.avi")).toStdString();
    std::ofstream(path, std::ios::binary).flush();
    MovieTags tags;
    tags.title = "Old title";
    tags.author = "Old author";
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    const PanelUpdate update =
        RunPanel({path, {}, true, NumberFormat::English()}, {tags, avi, ogg}, DiskFiles());
    EXPECT_EQ(update.kind, MovieFileKind::Other);
    // It opened, so the tag search ran, found no list and emptied the tags.
    EXPECT_EQ(update.titleLine, "");
    EXPECT_EQ(update.authorLine, std::nullopt);
    for (const auto& row : update.rows) EXPECT_FALSE(row.has_value());
}

// Past 4 GiB the size row must not wrap: it shows what the file system says.
TEST(HostilePanel, SparseOggMediaFileBeyondFourGigabytes) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("film.avi"));
    const std::string header = OggBytes({});
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, header.data(), header.size()), ssize_t(header.size()));
    constexpr off_t Length = (off_t(5) << 30) + 512 * 1024;  // 5120.5 MiB
    const bool grown = ::ftruncate(fd, Length) == 0;
    ::close(fd);
    if (!grown) GTEST_SKIP() << "the file system refuses a sparse file of 5 GiB";

    MovieTags tags;
    AviHeaderInfo avi;
    OggStreamInfo ogg;
    const PanelUpdate update =
        RunPanel({path.toStdString(), {}, true, NumberFormat::English()}, {tags, avi, ogg}, DiskFiles());
    EXPECT_EQ(update.kind, MovieFileKind::OggMedia);
    EXPECT_EQ(update.rows[9], " 5120.50 MB");
    EXPECT_EQ(update.rows[0], "XVID");
}

}  // namespace

}  // namespace discstart
