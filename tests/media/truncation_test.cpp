#include <gtest/gtest.h>

#include "info/ogg_panel.h"
#include "media/riff/avi_header.h"
#include "media/riff/info_tags.h"
#include "support/header_bytes.h"

namespace discstart {

// Every way a file can be cut short. Missing header bytes must read exactly as zero bytes
// would, so a cut file is compared with the same file padded back with zeros.
namespace {

Bytes Cut(const Bytes& full, std::size_t length) {
    return Bytes(full.begin(), full.begin() + length);
}

Bytes ZeroPadded(const Bytes& full, std::size_t length) {
    Bytes padded(full.size(), 0);
    std::copy(full.begin(), full.begin() + length, padded.begin());
    return padded;
}

TEST(Truncation, AviHeaderReadsMissingBytesAsZero) {
    AviHeaderRecipe layout;
    layout.trailingBytes = 0;
    const Bytes full = BuildAvi(layout);
    for (std::size_t length = 0; length <= full.size(); ++length) {
        MemoryFiles files;
        files.add("cut", Cut(full, length));
        files.add("padded", ZeroPadded(full, length));
        AviHeaderInfo cut, padded;
        const auto kind = ReadAviHeader("cut", cut, files);
        EXPECT_EQ(kind, ReadAviHeader("padded", padded, files)) << length;
        EXPECT_EQ(kind, length >= 12 ? MovieFileKind::Avi : MovieFileKind::Other) << length;
        EXPECT_EQ(cut, padded) << length;
    }
}

TEST(Truncation, OggReadsMissingBytesAsZero) {
    const Bytes full = BuildOgm({});
    for (std::size_t length = 0; length <= full.size(); ++length) {
        MemoryFiles files;
        files.add("cut", Cut(full, length));
        files.add("padded", ZeroPadded(full, length));
        OggStreamInfo cut, padded;
        Ogg::ReadOggInfo("cut", NumberFormat::English(), cut, files);
        Ogg::ReadOggInfo("padded", NumberFormat::English(), padded, files);
        EXPECT_EQ(cut, padded) << length;
        EXPECT_EQ(cut.frameRateText.empty(), length <= 45) << length;
    }
}

TEST(Truncation, InfoContentEndsWithTheFile) {
    const std::size_t q = 400;
    const Bytes content = BuildInfoContent({{"INAM", "Film"}, {"IART", "Someone"}});
    const Bytes full = BuildInfoFile(q, content, q + 4 + content.size());
    const MovieTags earlier{"e", "e", "e", "e", "e", "e", "e"};
    for (std::size_t length = 0; length <= full.size(); ++length) {
        MemoryFiles files;
        files.add("cut", Cut(full, length));
        MovieTags tags = earlier;
        DivX::ReadInfoTags("cut", tags, files);
        if (length < q + 4) {
            EXPECT_EQ(tags, MovieTags{}) << length;  // no complete "INFO"
        } else if (length < q + 8) {
            EXPECT_EQ(tags, earlier) << length;  // content shorter than four bytes
        } else {
            // Each text is what the file still holds of it.
            const auto held = [&](std::size_t at, std::size_t n) {
                const std::size_t start = std::min(length, q + 4 + at);
                return std::string(full.begin() + start, full.begin() + std::min(length, start + n));
            };
            EXPECT_EQ(tags.title, length > q + 4 + 4 ? held(8, 4) : "") << length;
            EXPECT_EQ(tags.author, length > q + 4 + 18 ? held(22, 7) : "") << length;
        }
    }
}

}  // namespace

}  // namespace discstart
