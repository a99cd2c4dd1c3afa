#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

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
    // A fragmented film without mehd: its length is the end of its last fragment, which lies
    // before a long mdat, found through mfra.
    isobmff::MovieRecipe fragmented = movie;
    fragmented.tracks[0].times = {};
    fragmented.tracks[0].sampleTableBytes = 64;
    fragmented.tracks[1].times = {};
    fragmented.mvex = isobmff::Trex(1) + isobmff::Trex(2);
    const std::string moof = isobmff::Moof({{.track = 1, .durations = std::vector<std::uint32_t>(50, 512)}});
    const std::string media = isobmff::Box("mdat", std::string(1024 * 1024, '\0'));
    const std::string fragmentedHead = isobmff::Ftyp() + isobmff::Moov(fragmented);
    const std::uint64_t lastMoof = fragmentedHead.size() + moof.size() + media.size();
    const std::string lastFragment =
        fragmentedHead + moof + media + moof + media + isobmff::Mfra({{fragmentedHead.size(), lastMoof}});
    // A film of changing frame rates: an stts longer than the first window.
    isobmff::MovieRecipe changing = movie;
    changing.tracks[0].sampleTableBytes = 64;
    changing.tracks[0].times.assign(4000, {1, 512});
    for (std::size_t i = 0; i < changing.tracks[0].times.size(); i += 2)
        changing.tracks[0].times[i].second = 1024;
    ebml::MatroskaRecipe tagsAtEnd;
    tagsAtEnd.tagsAt = ebml::Where::End;
    tagsAtEnd.mediaBytes = 1024 * 1024;
    const std::vector<ReadBudgetCase> cases = {
        {"avi", AviBytes(typical), MovieFileKind::Avi, 3, 16 * 1024},
        {"ogg", OggBytes(ogg), MovieFileKind::OggMedia, 3, 20 * 1024},
        // A film by its name: no INFO search, no AVI read.
        {"mp4, index in front", isobmff::MoovFirst(movie), MovieFileKind::Mp4, 3, 64 * 1024},
        {"mp4, index last", isobmff::MoovLast(movie, 1024 * 1024), MovieFileKind::Mp4, 5, 64 * 1024},
        {"mp4, index last, long stts", isobmff::MoovLast(changing, 1024 * 1024), MovieFileKind::Mp4, 5,
         128 * 1024},
        {"mp4, fragmented, the last fragment", lastFragment, MovieFileKind::Mp4, 3, 144 * 1024},
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

std::string DataFile(const std::string& name) {
    std::ifstream in(TEST_DATA_DIR "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct OpenCase {
    std::string name;
    std::string path;
    std::string bytes;  // nothing at the path when empty
    MovieFileKind kind;
};

// Every reader of a run shares the one file the panel opened and the one length it asked for:
// on a disc each open and each length is a seek the viewer waits for.
TEST(RunPanel, OpensTheMovieOnceWhateverItsKind) {
    const std::string mp4 = isobmff::MoovFirst(isobmff::MovieRecipe{});
    const std::string mkv = ebml::BuildMatroska({}).whole();
    const std::vector<OpenCase> cases = {
        {"avi", "D:\\film.avi", AviBytes({}), MovieFileKind::Avi},
        {"ogg media", "D:\\film.avi", OggBytes({}), MovieFileKind::OggMedia},
        {"standard ogg", "D:\\film.avi", DataFile("ogg-vorbis-only.avi"), MovieFileKind::Ogg},
        {"mp4 by name", "D:\\film.mp4", mp4, MovieFileKind::Mp4},
        {"mp4 under an avi name", "D:\\film.avi", mp4, MovieFileKind::Mp4},
        {"matroska by name", "D:\\film.mkv", mkv, MovieFileKind::Matroska},
        {"matroska under an avi name", "D:\\film.avi", mkv, MovieFileKind::Matroska},
        {"neither", "D:\\film.avi", std::string(4096, 'x'), MovieFileKind::Other},
        {"an avi under a film name", "D:\\film.mp4", AviBytes({}), MovieFileKind::Other},
        {"missing", "D:\\film.avi", "", MovieFileKind::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelBench bench;
        if (!c.bytes.empty()) bench.files.add(c.path, c.bytes);
        const CountingFiles counting(bench.files);
        PanelInput input = PanelBench::Input();
        input.moviePath = c.path;
        const PanelUpdate update = bench.run(input, counting);
        EXPECT_EQ(update.kind, c.kind);
        EXPECT_EQ(update.facts.kind, c.kind);
        EXPECT_EQ(counting.counts().opens, 1);
        EXPECT_EQ(counting.counts().lengths, 1);
        // The length asked once is the one the facts carry.
        EXPECT_EQ(update.facts.fileLength, bench.files.length(c.path));
    }
}

}  // namespace

}  // namespace discstart
