#include "text/display_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace discstart {

namespace {

TEST(DisplayText, DecodesBytesForDisplay) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Film", "Film"},
        {"", ""},
        {std::string("Film\0junk", 9), "Film"},  // a zero byte ends the text
        {std::string("\0Film", 5), ""},
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},            // valid UTF-8 stays
        {"\xF0\x9F\x8E\xAC", "\xF0\x9F\x8E\xAC"},  // four-byte sequence stays
        {"Caf\xE9", "Caf\xC3\xA9"},                // Windows-1252 é
        {"\x80", "\xE2\x82\xAC"},                  // euro sign
        {"\x85", "\xE2\x80\xA6"},                  // ellipsis
        {"\x8A", "\xC5\xA0"},                      // S caron
        {"\x93Hi\x94", "\xE2\x80\x9CHi\xE2\x80\x9D"},
        {"\x99", "\xE2\x84\xA2"},                                              // trade mark
        {"\x9F", "\xC5\xB8"},                                                  // Y diaeresis
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // undefined bytes kept
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        // One bad sequence makes the whole text Windows-1252, also its valid-looking parts.
        {"\xC3\xA9\xE9", "\xC3\x83\xC2\xA9\xC3\xA9"},
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                                  // overlong
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},                  // a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // past U+10FFFF
        {"ab\xC3", "ab\xC3\x83"},                                          // cut sequence at the end
        {std::string("\xE9\0\xC3\xA9", 4), "\xC3\xA9"},                    // the cut comes before the check
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(DisplayText(bytes), text) << bytes;
}

TEST(DisplayText, ReadsEveryByteFrom0x80To0x9FAsWindows1252) {
    // Written as the characters themselves, from the code page's published chart; the
    // five bytes it leaves undefined stand for their own code points.
    const char* const chart[32] = {
        "€",      "\u0081", "‚", "ƒ", "„", "…", "†", "‡", "ˆ", "‰", "Š", "‹", "Œ", "\u008D", "Ž", "\u008F",
        "\u0090", "‘",      "’", "“", "”", "•", "–", "—", "˜", "™", "š", "›", "œ", "\u009D", "ž", "Ÿ",
    };
    for (int byte = 0x80; byte < 0xA0; ++byte) {
        SCOPED_TRACE(byte);
        EXPECT_EQ(DisplayText(std::string{'O', static_cast<char>(byte), 'k'}),
                  std::string("O") + chart[byte - 0x80] + "k");
    }
}

TEST(CutCharacters, CountsCharactersNotBytes) {
    const std::string eacute = "\xC3\xA9";
    const std::string clapper = "\xF0\x9F\x8E\xAC";
    const std::vector<std::tuple<std::string, std::size_t, std::string>> cases = {
        {"abcdef", 3, "abc"},
        {"abc", 3, "abc"},
        {"abc", 10, "abc"},
        {"abc", 0, ""},
        {"", 5, ""},
        {eacute + eacute + eacute, 2, eacute + eacute},
        {"a" + clapper + "b", 2, "a" + clapper},
        {"a" + clapper + "b", 1, "a"},
        {"\xE2\x82\xAC"
         "123",
         1, "\xE2\x82\xAC"},
    };
    for (const auto& [text, count, cut] : cases) EXPECT_EQ(CutCharacters(text, count), cut) << text << count;
}

}  // namespace

}  // namespace discstart
