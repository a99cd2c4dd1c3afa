#include <gtest/gtest.h>

#include "media/riff/avi_header.h"
#include "support/riff_bytes.h"

namespace discstart {

using namespace media;

namespace {

const Bytes Avix = Chunk("RIFF", "AVIX" + List("movi", {Chunk("00dc", Bytes(64, '\x11'))}));

// The header list's chunks before the extended header, for placing it at an exact offset.
const std::vector<Bytes> Streams = {Avih(40000, 250), VideoList(), AudioList()};

// An extended header whose frame count ends `past` bytes after the 64 KiB of header list
// (from offset 12) the reader looks at.
Bytes DmlhEndingAt(std::int64_t past) {
    std::size_t before = 24 + 8 + 12 + 8;  // list header, JUNK header, odml list header, dmlh header
    for (const Bytes& chunk : Streams) before += chunk.size();
    const std::size_t junk = std::size_t(12 + 65536 + past - 4) - before;
    std::vector<Bytes> chunks = Streams;
    chunks.push_back(Chunk("JUNK", Zeros(junk)));
    chunks.push_back(Dmlh(400));
    return Avi(chunks, {}) + Avix;
}

struct OpenDmlCase {
    const char* name;
    Bytes file;
    bool wholeFilm;  // the length and the extended header's frames are taken
    std::uint32_t frames;
    int reads;
};

TEST(ReadAviHeader, TakesAnOpenDmlFilmsLengthAndFramesOnlyPastItsFirstChunk) {
    const Bytes withHeader = Avi({Avih(40000, 250), VideoList(), AudioList(), Dmlh(400)}, {});
    const std::vector<OpenDmlCase> cases = {
        {"one RIFF chunk", withHeader, false, 0, 1},
        {"one byte past the first chunk", withHeader + "x", true, 400, 2},
        {"two RIFF chunks", withHeader + Avix, true, 400, 2},
        {"no extended header", CleanAvi() + Avix, false, 0, 2},
        {"extended header counting no frames", Avi({Avih(), VideoList(), AudioList(), Dmlh(0)}, {}) + Avix,
         true, 0, 2},
        {"extended header in a LIST of another type",
         Avi({Avih(), VideoList(), AudioList(), List("odmx", {Chunk("dmlh", U32(400))})}, {}) + Avix, false,
         0, 2},
        {"frame count ending at the 64 KiB read", DmlhEndingAt(0), true, 400, 2},
        {"frame count one byte past it", DmlhEndingAt(1), false, 0, 2},
        // No header list where the reader looks: nothing to read further.
        {"no header list at 12", "RIFF" + U32(4) + "AVI " + Chunk("JUNK", "hdrl") + Avix, false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles memory;
        memory.add("film.avi", c.file);
        const CountingFiles files(memory);
        AviHeaderInfo info;
        info.openDmlLength = 7;  // a reading starts the mend afresh
        info.openDmlFrames = 7;
        ASSERT_EQ(ReadAviHeader("film.avi", info, files), MovieFileKind::Avi);
        EXPECT_EQ(info.openDmlLength, c.wholeFilm ? std::int64_t(c.file.size()) : 0);
        EXPECT_EQ(info.openDmlFrames, c.frames);
        if (c.wholeFilm) {
            EXPECT_EQ(info.totalFrames, 250);  // the main header is read as ever
        }
        EXPECT_EQ(files.counts().reads, c.reads);
    }
}

}  // namespace

}  // namespace discstart
