#include <gtest/gtest.h>

#include "panel_fixture.h"
#include "support/memory_files.h"
#include "support/riff_bytes.h"

namespace discstart {

using namespace media;

namespace {

struct OpenDmlRowsCase {
    const char* name;
    std::uint64_t length;  // the file's, zeros after the headers
    const char* bitrate;
    const char* size;
    const char* running;
};

// A film over 1 GiB shows the file's size and the extended header's length; the same headers
// in a file of one RIFF chunk show what they always showed.
TEST(RunPanel, AnOpenDmlFilmShowsTheWholeFile) {
    const Bytes headers = Avi({Avih(40000, 250), VideoList(), AudioList(), Dmlh(45000)}, {});
    const auto bytes = std::make_shared<const std::vector<std::uint8_t>>(headers.begin(), headers.end());
    const OpenDmlRowsCase cases[] = {
        {"1.5 GiB in two RIFF chunks", 1'610'612'736, "6866 Kbit/s", "1536.00 MB", "30 min  sec"},
        {"one RIFF chunk", headers.size(), "-124 Kbit/s", "0.00 MB", " min 10 sec"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelBench bench;
        const PanelUpdate update = bench.run(PanelBench::Input(), VirtualMovie(bytes, c.length));
        EXPECT_EQ(update.rows[1], c.bitrate);
        EXPECT_EQ(update.rows[9], c.size);
        EXPECT_EQ(update.rows[10], c.running);
        EXPECT_EQ(update.rows[3], "25.00");
    }
}

}  // namespace

}  // namespace discstart
