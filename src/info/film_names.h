#pragma once

#include <cstddef>
#include <string_view>

namespace discstart {

// Today's films, taken where a folder holds no AVI file. Every name the pattern matches ends
// in one of the extensions below.
inline constexpr const char* FilmPattern = "*.mp4;*.m4v;*.mov;*.mkv;*.webm";

// The length of the film extension `name` ends in (".mp4", ".m4v", ".mov", ".mkv", ".webm", any
// letter case), or 0 when it ends in none.
std::size_t FilmExtensionLength(std::string_view name);

}  // namespace discstart
