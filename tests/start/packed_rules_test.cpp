// The Windows start program's rules: the stamp the packer writes, and the command line it hands on.
#include "start/packed_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

namespace discstart {

namespace {

// A SHA-256 in hex: 0123456789abcdef, then fedcba9876543210 three times.
const std::string Hash =
    "0123456789abcdef"
    "fedcba9876543210fedcba9876543210fedcba9876543210";

std::string StampBytes(std::uint64_t packed, std::uint64_t unpacked, std::string hash = Hash) {
    std::string bytes(Packed::StampTag);
    for (const std::uint64_t value : {packed, unpacked}) {
        for (int i = 0; i < 8; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return bytes + hash;
}

std::string WithDigit(std::size_t at, char digit) {
    std::string hash = Hash;
    hash[at] = digit;
    return hash;
}

TEST(PackedStamp, TakesLengthsUpToTheirBoundsAndAHexHash) {
    struct Case {
        const char* name;
        std::string bytes;
        bool read;
    };
    const Case cases[] = {
        {"ordinary", StampBytes(5'000'000, 13'000'000), true},
        {"lengths at their bounds", StampBytes(Packed::MaxPacked, Packed::MaxUnpacked), true},
        {"lengths of one byte", StampBytes(1, 1), true},
        {"packed one past", StampBytes(Packed::MaxPacked + 1, 100), false},
        {"unpacked one past", StampBytes(100, Packed::MaxUnpacked + 1), false},
        {"high bytes set", StampBytes(1ull << 40, 100), false},
        {"nothing packed", StampBytes(0, 100), false},
        {"nothing unpacked", StampBytes(100, 0), false},
        {"upper-case hash", StampBytes(1, 1, WithDigit(10, 'A')), false},
        {"not hex in the key", StampBytes(1, 1, WithDigit(15, 'g')), false},
        {"not hex right past the key", StampBytes(1, 1, WithDigit(16, 'g')), false},
        {"not hex in the last digit", StampBytes(1, 1, WithDigit(63, '.')), false},
        {"a NUL in the hash", StampBytes(1, 1, WithDigit(40, '\0')), false},
        {"a byte past 127 in the hash", StampBytes(1, 1, WithDigit(0, '\xe0')), false},
        {"placeholder", std::string(Packed::StampTag) + std::string(80, '.'), false},
        {"a key alone, as older packers wrote", StampBytes(1, 1, Hash.substr(0, 16)), false},
        {"one byte short", StampBytes(1, 1).substr(1), false},
        {"one byte more", StampBytes(1, 1) + "0", false},
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
    EXPECT_EQ(stamp.hash, Hash);
    EXPECT_EQ(stamp.key, "0123456789abcdef");  // the hash's start: folder names stay as they were
}

TEST(PackedStamp, ADigestIsTheStampsHashToItsLastBit) {
    Packed::Stamp stamp;
    const std::string bytes = StampBytes(1, 1);
    ASSERT_TRUE(Packed::ReadStamp(bytes, stamp));
    unsigned char digest[Packed::HashBytes] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};
    for (std::size_t i = 8; i < Packed::HashBytes; i += 8) {
        const unsigned char tail[] = {0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10};
        std::copy(std::begin(tail), std::end(tail), digest + i);
    }
    EXPECT_TRUE(Packed::SameHash(stamp, digest, sizeof digest));
    EXPECT_FALSE(Packed::SameHash(stamp, digest, sizeof digest - 1));
    for (const std::size_t at : {std::size_t(0), std::size_t(7), std::size_t(8), Packed::HashBytes - 1}) {
        for (const unsigned char bit : {0x01, 0x10, 0x80}) {
            digest[at] ^= bit;
            EXPECT_FALSE(Packed::SameHash(stamp, digest, sizeof digest)) << at << " " << int(bit);
            digest[at] ^= bit;
        }
    }
    EXPECT_FALSE(Packed::SameHash(Packed::Stamp{}, digest, sizeof digest));  // no stamp read
}

TEST(PackedFolder, OnlyAFolderNamedByAKeyIsCleanedUp) {
    const struct {
        const wchar_t* name;
        bool key;
    } cases[] = {
        {L"discstart-0123456789abcdef", true},
        {L"discstart-0000000000000000", true},
        {L"discstart-0123456789abcde", false},    // one digit short
        {L"discstart-0123456789abcdef0", false},  // one past
        {L"discstart-0123456789ABCDEF", false},
        {L"discstart-0123456789abcdeg", false},
        {L"discstart-notakey-padded-1", false},  // as long as a key's folder
        {L"Discstart-0123456789abcdef", false},
        {L"discstart_0123456789abcdef", false},
        {L"xdiscstart-0123456789abcde", false},
        {L"discstart-", false},
        {L"discstart-0123456789abcd\\e", false},
        {L"discstart-\uff10123456789abcdef", false},  // a full-width digit
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Packed::IsKeyFolder(c.name), c.key) << &c - cases;
    }
}

TEST(PackedFolder, APartialCopyIsTheProgramsNameAProcessNumberAndPart) {
    const struct {
        const wchar_t* name;
        bool partial;
    } cases[] = {
        {L"discstart.exe.1234.part", true},
        {L"discstart.exe.0.part", true},
        {L"discstart.exe.4294967295.part", true},    // the largest process number
        {L"discstart.exe.12345678901.part", false},  // a digit past it
        {L"discstart.exe..part", false},
        {L"discstart.exe.part", false},
        {L"discstart.exe", false},  // the program itself
        {L"discstart.exe.12a4.part", false},
        {L"discstart.exe.1234.part.exe", false},
        {L"discstart.exe.1234.PART", false},
        {L"discstart.exe-1234.part", false},
        {L"discstart.exe1234.part", false},
        {L"other.exe.1234.part", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Packed::IsPartial(c.name), c.partial) << &c - cases;
    }
}

TEST(PackedStamp, FileHoldsExactlyThePackedBytesAfterTheImage) {
    const Packed::Stamp stamp{1000, 5000, {}, {}};
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
