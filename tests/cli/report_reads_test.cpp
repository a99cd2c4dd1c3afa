#include <gtest/gtest.h>

#include "cli/report.h"
#include "system/system.h"

namespace discstart {

namespace {

// discinfo's facts come from what the panel's readers returned: its report reads the movie
// exactly as often as the window's panel does, whatever the kind.
TEST(BuildReport, ReadsTheMovieAsOftenAsTheWindow) {
    for (const char* name : {"avi-tags.avi", "ogm-xvid-vorbis.avi", "mp4-h264-aac.mp4",
                             "mp4-h264-aac-end.mp4", "webm-vp9-opus.webm", "mkv-xvid-mp3.mkv"}) {
        SCOPED_TRACE(name);
        const std::string path = TEST_DATA_DIR "/" + std::string(name);
        const CountingFiles window(DiskFiles());
        MovieTags tags;
        AviHeaderInfo avi;
        OggStreamInfo ogg;
        ContainerInfo film;
        const PanelUpdate update =
            RunPanel({path, {}, true, NumberFormat::English()}, {tags, avi, ogg, &film}, window);
        ASSERT_NE(update.kind, MovieFileKind::Other);
        const CountingFiles report(DiskFiles());
        BuildReport(path, false, NumberFormat::English(), report);
        EXPECT_EQ(report.counts().opens, window.counts().opens);
        EXPECT_EQ(report.counts().lengths, window.counts().lengths);
        EXPECT_EQ(report.counts().reads, window.counts().reads);
        EXPECT_EQ(report.counts().bytes, window.counts().bytes);
    }
}

}  // namespace

}  // namespace discstart
