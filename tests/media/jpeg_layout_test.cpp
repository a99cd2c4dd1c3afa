#include <gtest/gtest.h>

#include "media/jpeg/jpeg_layout.h"
#include "support/jpeg_builder.h"

namespace discstart {

namespace {

struct LayoutCase {
    const char* what;
    JpegRecipe recipe;
    int scans;
    std::uint64_t blockScans;
    std::uint64_t coefficientBytes;
};

TEST(JpegLayout, CountsScansBlocksAndCoefficients) {
    const LayoutCase cases[] = {
        {"baseline grey", {64, 32, 1, false, 0}, 1, 32, 0},
        {"baseline colour, odd size", {17, 9, 3, false, 0}, 1, 3 * 6, 0},
        {"progressive grey, DC only", {64, 64, 1, true, 0}, 1, 64, 64 * 128},
        {"progressive grey, 5000 AC scans", {8192, 8192, 1, true, 5000}, 5001, 5001ULL << 20, 128ULL << 20},
        {"progressive CMYK", {8192, 8192, 4, true, 0}, 1, 4ULL << 20, 512ULL << 20},
        {"progressive colour, AC scans by component", {16, 16, 3, true, 3}, 4, 12 + 3 * 4, 12 * 128},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        [&] {
            const auto bytes = BuildJpeg(c.recipe);
            const Jpeg::Layout layout = Jpeg::ReadLayout(bytes);
            ASSERT_TRUE(layout.valid) << c.what;
            EXPECT_EQ(layout.width, c.recipe.width) << c.what;
            EXPECT_EQ(layout.height, c.recipe.height) << c.what;
            EXPECT_EQ(layout.components, c.recipe.components) << c.what;
            EXPECT_EQ(layout.progressive, c.recipe.progressive) << c.what;
            EXPECT_EQ(layout.scans, c.scans) << c.what;
            EXPECT_EQ(layout.blockScans, c.blockScans) << c.what;
            EXPECT_EQ(layout.coefficientBytes, c.coefficientBytes) << c.what;
        }();
    }
}

TEST(JpegLayout, RefusesWhatIsNoUsableJpeg) {
    const auto good = BuildJpeg({16, 16, 1, false, 0});
    auto zeroHeight = good;
    zeroHeight[2 + 69 + 5] = 0;  // SOI, DQT (69 bytes), then the frame's height
    zeroHeight[2 + 69 + 6] = 0;
    auto noFrame =
        std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 63, 0, 0xFF, 0xD9};
    const std::vector<std::uint8_t> cases[] = {
        {},
        {0xFF, 0xD8},
        {0x89, 'P', 'N', 'G'},
        std::vector<std::uint8_t>(good.begin(), good.begin() + 40),
        zeroHeight,
        noFrame,
    };
    for (const auto& bytes : cases) EXPECT_FALSE(Jpeg::ReadLayout(bytes).valid) << bytes.size();
    EXPECT_TRUE(Jpeg::ReadLayout(good).valid);
}

}  // namespace

}  // namespace discstart
