#include "media/container.h"

#include <array>

namespace discstart {

MovieFileKind ContainerKind(const ByteWindow& head) {
    if (head.holds(0, 4) && head.uint32BeAt(0) == 0x1A45DFA3) return MovieFileKind::Matroska;
    if (!head.holds(0, 8)) return MovieFileKind::Other;
    // A first box of a type every ISO media writer starts with, and a size that can be one:
    // 0 (to the end), 1 (64-bit size follows) or at least its own header.
    static constexpr std::array<const char*, 6> firstBoxes = {"ftyp", "moov", "mdat", "free", "skip", "wide"};
    const std::string type = head.textAt(4, 4);
    const std::uint32_t size = head.uint32BeAt(0);
    for (const char* first : firstBoxes) {
        if (type == first && (size == 0 || size == 1 || size >= 8)) return MovieFileKind::Mp4;
    }
    return MovieFileKind::Other;
}

}  // namespace discstart
