#include "info/film_names.h"

#include <array>

namespace discstart {

std::size_t FilmExtensionLength(std::string_view name) {
    static constexpr std::array<std::string_view, 5> extensions = {".mp4", ".m4v", ".mov", ".mkv", ".webm"};
    for (const std::string_view extension : extensions) {
        if (name.size() < extension.size()) continue;
        const std::string_view end = name.substr(name.size() - extension.size());
        bool same = true;
        for (std::size_t i = 0; i < end.size() && same; ++i) {
            const char c = end[i];
            same = (c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) == extension[i];
        }
        if (same) return extension.size();
    }
    return 0;
}

}  // namespace discstart
