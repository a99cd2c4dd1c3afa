// The Windows start program's rules: the stamp the packer writes, and the command line it hands on.
#include "start/packed_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace discstart {

namespace {

std::string StampBytes(std::uint64_t packed, std::uint64_t unpacked, std::string key = "0123456789abcdef") {
    std::string bytes(Packed::StampTag);
    for (const std::uint64_t value : {packed, unpacked}) {
        for (int i = 0; i < 8; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return bytes + key;
}

TEST(PackedStamp, TakesLengthsUpToTheirBoundsAndAHexKey) {
    struct Case {
        const char* name;
        std::string bytes;
        bool read;
    };
    const Case cases[] = {
        {"ordinary", StampBytes(5'000'000, 13'000'000), true},
        {"lengths at their bounds", StampBytes(Packed::MaxPacked, Packed::MaxUnpacked), true},
        {"packed one past", StampBytes(Packed::MaxPacked + 1, 100), false},
        {"unpacked one past", StampBytes(100, Packed::MaxUnpacked + 1), false},
        {"high bytes set", StampBytes(1ull << 40, 100), false},
        {"nothing packed", StampBytes(0, 100), false},
        {"nothing unpacked", StampBytes(100, 0), false},
        {"upper-case key", StampBytes(1, 1, "0123456789ABCDEF"), false},
        {"key not hex", StampBytes(1, 1, "0123456789abcdeg"), false},
        {"placeholder", std::string(Packed::StampTag) + std::string(32, '.'), false},
        {"one byte short", StampBytes(1, 1).substr(1), false},
        {"other tag", "x" + StampBytes(1, 1).substr(1), false},
    };
    for (const Case& c : cases) {
        Packed::Stamp stamp;
        EXPECT_EQ(Packed::ReadStamp(c.bytes, stamp), c.read) << c.name;
    }
    Packed::Stamp stamp;
    const std::string bytes = StampBytes(0x0a0b0c0d, 0x0e0f1011);
    ASSERT_TRUE(Packed::ReadStamp(bytes, stamp));
    EXPECT_EQ(stamp.packed, 0x0a0b0c0du);
    EXPECT_EQ(stamp.unpacked, 0x0e0f1011u);
    EXPECT_EQ(stamp.key, "0123456789abcdef");
}

TEST(PackedStamp, FileHoldsExactlyThePackedBytesAfterTheImage) {
    const Packed::Stamp stamp{1000, 5000, {}};
    EXPECT_TRUE(Packed::HoldsPacked(stamp, 200, 1200));
    EXPECT_FALSE(Packed::HoldsPacked(stamp, 200, 1199));  // cut short
    EXPECT_FALSE(Packed::HoldsPacked(stamp, 200, 1201));  // something more appended
    EXPECT_FALSE(Packed::HoldsPacked(stamp, 1300, 1200));
}

TEST(PackedCommandLine, ArgumentsStartPastTheProgramNameAsWindowsReadsIt) {
    const struct {
        const wchar_t* line;
        const wchar_t* arguments;
    } cases[] = {
        {L"D:\\discstart.exe", L""},
        {L"D:\\discstart.exe -platform offscreen", L"-platform offscreen"},
        {L"\"D:\\my film\\discstart.exe\"  \"E:\\other disc\"", L"\"E:\\other disc\""},
        {L"\"D:\\a b\\discstart.exe\"x y", L"x y"},  // Windows ends the name at the quote
        {L"discstart\t--help", L"--help"},
        {L"\"D:\\unclosed quote", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        const std::wstring_view line = c.line;
        EXPECT_EQ(line.substr(Packed::ArgumentsStart(line)), c.arguments) << &c - cases;
    }
}

}  // namespace

}  // namespace discstart
