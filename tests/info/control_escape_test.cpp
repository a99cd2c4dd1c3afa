#include "info/control_escape.h"

#include <gtest/gtest.h>

namespace discstart {

namespace {

TEST(EscapeControlCharacters, LeavesNothingATerminalObeys) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"Film", "Film"},
        {"a\x1B[2Jb", "a\\x1B[2Jb"},  // ESC: clear the screen
        {"bell\x07 cr\r nl\n tab\t", "bell\\x07 cr\\x0D nl\\x0A tab\\x09"},
        {"del\x7F", "del\\x7F"},
        {"csi\xC2\x9B"
         "2J",
         "csi\\x9B2J"},                                                    // U+009B, the one-character CSI
        {"\xC2\xA0\xC3\xA9\xE2\x82\xAC", "\xC2\xA0\xC3\xA9\xE2\x82\xAC"},  // no-break space, é, €
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"\xE9t\xE9", "\xE9t\xE9"},  // bytes that are not UTF-8 pass
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeControlCharacters(c.text), c.shown) << c.text;
}

}  // namespace

}  // namespace discstart
