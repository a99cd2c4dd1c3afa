#include <gtest/gtest.h>

#include "panel_fixture.h"
#include "support/ebml_bytes.h"
#include "support/iso_bytes.h"

namespace discstart {

namespace {

struct ReadBudgetCase {
    std::string name;
    std::string bytes;
    MovieFileKind kind;
    int maxReads;
    std::uint64_t maxBytes;
};

// A whole panel run must stay a handful of reads: the disc is slow to seek.
TEST(RunPanel, ReadsFewTimesFromTheMovie) {
    AviFields typical;
    typical.videoIndexSize = 4096;
    typical.info = {{"INAM", "Film"}, {"IART", "Ann Smith"}, {"ISFT", "Muxer 1.0"}};
    typical.movieDataSize = 64 * 1024;
    OggFields ogg;
    ogg.movieDataSize = 64 * 1024;
    // A feature film's index: its sample tables are skipped by position, never read.
    isobmff::MovieRecipe movie;
    movie.tracks[0].sampleTableBytes = 2 * 1024 * 1024;
    movie.udta = isobmff::ItemList({{"\xA9nam", "Film"}});
    ebml::MatroskaRecipe tagsAtEnd;
    tagsAtEnd.tagsAt = ebml::Where::End;
    tagsAtEnd.mediaBytes = 1024 * 1024;
    const std::vector<ReadBudgetCase> cases = {
        {"avi", AviBytes(typical), MovieFileKind::Avi, 3, 16 * 1024},
        {"ogg", OggBytes(ogg), MovieFileKind::OggMedia, 3, 20 * 1024},
        // A film by its name: no INFO search, no AVI read.
        {"mp4, index in front", isobmff::MoovFirst(movie), MovieFileKind::Mp4, 3, 64 * 1024},
        {"mp4, index last", isobmff::MoovLast(movie, 1024 * 1024), MovieFileKind::Mp4, 5, 64 * 1024},
        {"matroska, tags in front", ebml::BuildMatroska({}).whole(), MovieFileKind::Matroska, 4, 64 * 1024},
        {"matroska, tags at the end", ebml::BuildMatroska(tagsAtEnd).whole(), MovieFileKind::Matroska, 6,
         512 * 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        [&] {
            PanelBench bench;
            const bool film = c.kind == MovieFileKind::Mp4 || c.kind == MovieFileKind::Matroska;
            const std::string path = c.kind == MovieFileKind::Mp4        ? "D:\\film.mp4"
                                     : c.kind == MovieFileKind::Matroska ? "D:\\film.mkv"
                                                                         : PanelBench::MoviePath;
            bench.files.add(path, c.bytes);
            const CountingFiles counting(bench.files);
            PanelInput input = PanelBench::Input();
            input.moviePath = path;
            const PanelUpdate update = bench.run(input, counting);
            ASSERT_EQ(update.kind, c.kind) << c.name;
            // Only meaningful if the run really found the tags and the audio stream behind the index.
            if (c.kind == MovieFileKind::Avi) {
                EXPECT_EQ(update.titleLine, "Film");
                EXPECT_EQ(update.rows[5], "MPEG-1 Layer 3");
            }
            if (film) {
                EXPECT_NE(update.titleLine, "");
                EXPECT_EQ(update.rows[5], "AAC");
            }
            EXPECT_LE(counting.counts().reads, c.maxReads) << c.name;
            EXPECT_LE(counting.counts().bytes, c.maxBytes) << c.name;
            RecordProperty(c.name + "_reads", counting.counts().reads);
            RecordProperty(c.name + "_bytes", std::to_string(counting.counts().bytes));
            std::cout << c.name << ": " << counting.counts().opens << " opens, " << counting.counts().reads
                      << " reads, " << counting.counts().bytes << " bytes\n";
        }();
    }
}

}  // namespace

}  // namespace discstart
