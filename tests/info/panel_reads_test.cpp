#include <gtest/gtest.h>

#include "panel_fixture.h"

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
    const std::vector<ReadBudgetCase> cases = {
        {"avi", AviBytes(typical), MovieFileKind::Avi, 3, 16 * 1024},
        {"ogg", OggBytes(ogg), MovieFileKind::OggMedia, 4, 16 * 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        [&] {
            PanelBench bench;
            bench.files.add(PanelBench::MoviePath, c.bytes);
            const CountingFiles counting(bench.files);
            const PanelUpdate update = bench.run(PanelBench::Input(), counting);
            ASSERT_EQ(update.kind, c.kind) << c.name;
            if (c.kind == MovieFileKind::Avi) {
                // Only meaningful if the run really found the list and the audio stream behind the index.
                EXPECT_EQ(update.titleLine, "Film");
                EXPECT_EQ(update.rows[5], "MPEG-1 Layer 3");
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
