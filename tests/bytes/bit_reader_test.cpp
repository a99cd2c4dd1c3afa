#include "bytes/bit_reader.h"

#include <gtest/gtest.h>

namespace discstart {

namespace {

TEST(BitReader, ReadsToTheLastBitAndNoFurther) {
    // A view of the first byte of two: the second must never be read.
    const char bytes[] = {'\xA5', '\xFF'};
    BitReader bits(std::string_view(bytes, 1));
    EXPECT_EQ(bits.read(3), 0b101u);
    EXPECT_EQ(bits.read(5), 0b00101u);
    EXPECT_EQ(bits.left(), 0u);
    EXPECT_FALSE(bits.overrun());
    EXPECT_EQ(bits.read(1), 0u);
    EXPECT_TRUE(bits.overrun());

    BitReader skipped(std::string_view(bytes, 1));
    skipped.read(1);
    skipped.align();
    EXPECT_EQ(skipped.left(), 0u);
    EXPECT_FALSE(skipped.overrun());
    skipped.skip(1);
    EXPECT_TRUE(skipped.overrun());
}

}  // namespace

}  // namespace discstart
