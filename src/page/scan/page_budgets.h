#pragma once

#include <cstdint>

namespace discstart {

// Budgets of a page in the light engine, set from measurements of the worst page each lets
// through (README, "Budgets"). Its parsing runs on a worker, but the window lays a page out
// itself, a paragraph or an outermost table at a time, so those are bounded: each takes at
// most some tens of milliseconds. A page past a budget is left out as one that cannot be read;
// a picture or style sheet past one is left out of the page.
inline constexpr std::int64_t MaxPageBytes = std::int64_t{1024} * 1024;
inline constexpr int MaxPageTags = 50'000;
inline constexpr int MaxPageDepth = 256;
inline constexpr int MaxTableDepth = 8;
// Cells of an outermost table, the tables inside it included.
inline constexpr std::int64_t MaxTableCells = 1'000;
// Characters of text between two paragraph breaks (a line break does not end one), and of a
// word, whose line breaking costs the square of its length.
inline constexpr std::int64_t MaxBlockCharacters = 100'000;
inline constexpr std::int64_t MaxWordCharacters = 10'000;
// Pixels of a table's or frame's border, padding, margin or cell spacing: the engine lays out
// cell padding in proportion to its size (cellpadding=8e88 held it for minutes).
inline constexpr int MaxFrameSpacing = 1'000;
// Style: every selector the engine holds (each of a list, each time a sheet is handed to it),
// the text it parses, and the work of matching them: the engine matches every rule against each
// element and again against each of its ancestors, walking up the tree for descendant selectors
// and along the siblings for sibling ones.
inline constexpr std::int64_t MaxStyleSelectors = 10'000;
inline constexpr std::int64_t MaxStyleBytes = std::int64_t{1024} * 1024;
inline constexpr double MaxStyleWork = 50'000'000;
// What a page's pictures and style sheets may read, and what its pictures may take decoded.
inline constexpr std::int64_t MaxPageResourceBytes = 32LL * 1024 * 1024;
inline constexpr std::int64_t MaxPagePictureBytes = 64LL * 1024 * 1024;

}  // namespace discstart
