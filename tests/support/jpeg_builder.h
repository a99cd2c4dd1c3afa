#pragma once

#include <cstdint>
#include <vector>

namespace discstart {

// A JPEG written byte by byte, uniformly grey, made to weigh on a decoder and little on disc:
// every coefficient zero, AC scans of nothing but end-of-band runs. Each extra AC scan repeats
// the first (decoders warn and go on), so the file grows by some 70 bytes a scan.
struct JpegRecipe {
    int width = 8;
    int height = 8;
    int components = 1;  // 1 grey, 3 colour, 4 CMYK
    bool progressive = true;
    int acScans = 0;  // progressive only
};

std::vector<std::uint8_t> BuildJpeg(const JpegRecipe& recipe);

// The same bytes in any container built from a pointer and a size (QByteArray, std::string).
template <typename Bytes>
Bytes BuildJpegAs(const JpegRecipe& recipe) {
    const std::vector<std::uint8_t> bytes = BuildJpeg(recipe);
    return Bytes(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<decltype(Bytes().size())>(bytes.size()));
}

}  // namespace discstart
