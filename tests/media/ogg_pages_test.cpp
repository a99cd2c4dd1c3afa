#include <gtest/gtest.h>

#include "bytes/byte_window.h"
#include "media/ogg/ogg_pages.h"
#include "support/riff_bytes.h"

namespace discstart {

namespace {

using media::Bytes;
using media::OggPage;

// Three lacing values (255, 45, 2): the body starts at 30 and holds 302 bytes.
const Bytes Lacing3 = OggPage(2, 7, {Bytes(300, 'a'), "bc"}, 0, 0x0102030405060708);

ByteWindow Window(const Bytes& bytes, std::uint64_t base = 0) {
    return {base, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), true};
}

struct ParseCase {
    const char* name;
    Bytes bytes;
    std::uint64_t offset;
    bool found;
    std::uint64_t bodyOffset;
};

TEST(ParseOggPage, TheHeaderAndEveryLacingValueOrNothing) {
    Bytes versionOne = Lacing3;
    versionOne[4] = 1;
    const std::vector<ParseCase> cases = {
        {"whole", Lacing3, 0, true, 30},
        {"after other bytes", "junk!" + Lacing3, 5, true, 35},
        {"the body not held", Lacing3.substr(0, 30), 0, true, 30},
        {"one lacing value short", Lacing3.substr(0, 29), 0, false, 0},
        {"the header one byte short", Lacing3.substr(0, 26), 0, false, 0},
        {"not OggS", "OggT" + Lacing3.substr(4), 0, false, 0},
        {"another version, told", versionOne, 0, true, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = ParseOggPage(Window(c.bytes), c.offset);
        ASSERT_EQ(page.has_value(), c.found);
        if (!page) continue;
        EXPECT_EQ(page->offset, c.offset);
        EXPECT_EQ(page->version, std::uint8_t(c.bytes[c.offset + 4]));
        EXPECT_EQ(page->headerType, 2);
        EXPECT_EQ(page->granule, 0x0102030405060708u);
        EXPECT_EQ(page->serial, 7u);
        EXPECT_EQ(page->bodyOffset, c.bodyOffset);
        EXPECT_EQ(page->bodySize, 302u);
        EXPECT_EQ(page->next(), c.bodyOffset + 302);
    }
    // A window that starts past the page's start holds none of it.
    EXPECT_FALSE(ParseOggPage(Window(Lacing3.substr(1), 1), 0));
}

struct ReadCase {
    const char* name;
    Bytes file;
    bool found;
    int reads;
    bool complete;
    Bytes firstBytes;
};

// One read takes the header, every lacing value and the packet's start; a second only asks
// whether a body that ends past it lies in the file.
TEST(ReadOggPage, OneReadAndASecondOnlyForABodyPastIt) {
    const Bytes packet = "pkt" + Bytes(997, 'p');
    const Bytes large = OggPage(0, 3, {packet});  // 4 lacing values, body 31..1031
    const std::vector<ReadCase> cases = {
        {"small and whole", Lacing3, true, 1, true, Bytes(64, 'a')},
        {"a body past the first read", large, true, 2, true, packet.substr(0, 64)},
        {"the file ends inside the body", large.substr(0, 1030), true, 2, false, packet.substr(0, 64)},
        {"the file ends inside the first read", large.substr(0, 60), true, 1, false, packet.substr(0, 29)},
        {"an empty body", OggPage(4, 3, {""}), true, 1, true, ""},
        {"no page", "RIFF" + Bytes(60, '\0'), false, 1, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles memory;
        memory.add("f", c.file);
        const CountingFiles counting(memory);
        const auto file = counting.open("f");
        const auto page = ReadOggPage(*file, 0);
        EXPECT_EQ(counting.counts().reads, c.reads);
        ASSERT_EQ(page.has_value(), c.found);
        if (!page) continue;
        EXPECT_EQ(page->complete, c.complete);
        EXPECT_EQ(page->firstBytes, c.firstBytes);
    }
}

}  // namespace

}  // namespace discstart
