#pragma once

namespace discstart {

// Characters that show nothing of their own yet change how the text around them reads:
// Unicode's format characters (Cf, as of Unicode 15: the bidirectional marks, embeddings,
// overrides and isolates, zero-width characters, the byte order mark) and the line and
// paragraph separators. Header-only and allocation-free: the disc's start program, which links
// the C library alone, escapes by the same list.
struct CodeRange {
    char32_t first;
    char32_t last;
};
inline constexpr CodeRange InvisibleCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x2028, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

constexpr bool IsInvisible(char32_t code) {
    for (const CodeRange& range : InvisibleCharacters) {
        if (code < range.first) return false;
        if (code <= range.last) return true;
    }
    return false;
}

// The control characters: C0, DEL and C1.
constexpr bool IsControl(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

}  // namespace discstart
