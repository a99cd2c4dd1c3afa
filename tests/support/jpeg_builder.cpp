#include "support/jpeg_builder.h"

#include <bit>
#include <initializer_list>

namespace discstart {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Entropy-coded bits, MSB first, with a zero stuffed after every 0xFF byte.
class BitWriter {
  public:
    void put(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) {
            byte_ = std::uint8_t((byte_ << 1) | ((value >> i) & 1));
            if (++count_ == 8) emit();
        }
    }
    Bytes finish() {
        while (count_ != 0) put(1, 1);
        return std::move(out_);
    }

  private:
    void emit() {
        out_.push_back(byte_);
        if (byte_ == 0xFF) out_.push_back(0);
        byte_ = 0;
        count_ = 0;
    }
    Bytes out_;
    std::uint8_t byte_ = 0;
    int count_ = 0;
};

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

void Segment(Bytes& out, std::uint8_t marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Append(out, {0xFF, marker, std::uint8_t(length >> 8), std::uint8_t(length)});
    Append(out, payload);
}

// A Huffman table from the count of codes of each length and the symbols in code order.
Bytes HuffmanTable(int tableClass, std::initializer_list<std::pair<int, int>> countsByLength,
                   const Bytes& symbols) {
    Bytes payload{std::uint8_t(tableClass << 4)};
    Bytes counts(16, 0);
    for (const auto& [length, count] : countsByLength) counts[std::size_t(length - 1)] = std::uint8_t(count);
    Append(payload, counts);
    Append(payload, symbols);
    return payload;
}

// One end-of-band run of `blocks` (1..32767): symbol r<<4 ("0" for r 14, "1" and four bits for
// the others), then the r low bits of the run.
void PutEndOfBands(BitWriter& bits, std::uint32_t blocks) {
    const int r = std::bit_width(blocks) - 1;
    if (r == 14) {
        bits.put(0, 1);
    } else {
        bits.put(0x10 | std::uint32_t(r), 5);
    }
    bits.put(blocks - (1u << r), r);
}

}  // namespace

std::vector<std::uint8_t> BuildJpeg(const JpegRecipe& recipe) {
    Bytes out{0xFF, 0xD8};
    Segment(out, 0xDB, [] {
        Bytes table{0x00};
        table.resize(65, 1);
        return table;
    }());
    Bytes frame{8,
                std::uint8_t(recipe.height >> 8),
                std::uint8_t(recipe.height),
                std::uint8_t(recipe.width >> 8),
                std::uint8_t(recipe.width),
                std::uint8_t(recipe.components)};
    for (int c = 0; c < recipe.components; ++c) Append(frame, {std::uint8_t(c + 1), 0x11, 0});
    Segment(out, recipe.progressive ? 0xC2 : 0xC0, frame);
    if (recipe.components == 4) Segment(out, 0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0});
    // Every DC difference is zero: one code, "0".
    Segment(out, 0xC4, HuffmanTable(0, {{1, 1}}, {0x00}));
    if (recipe.progressive) {
        Bytes runs{0xE0};
        for (std::uint8_t r = 0; r < 14; ++r) runs.push_back(std::uint8_t(r << 4));
        Segment(out, 0xC4, HuffmanTable(1, {{1, 1}, {5, 14}}, runs));
    } else {
        Segment(out, 0xC4, HuffmanTable(1, {{1, 1}}, {0x00}));  // end of block, "0"
    }

    const std::uint64_t blocks =
        std::uint64_t((recipe.width + 7) / 8) * std::uint64_t((recipe.height + 7) / 8);
    Bytes scan{std::uint8_t(recipe.components)};
    for (int c = 0; c < recipe.components; ++c) Append(scan, {std::uint8_t(c + 1), 0x00});
    Append(scan, {0, std::uint8_t(recipe.progressive ? 0 : 63), 0});
    Segment(out, 0xDA, scan);
    BitWriter first;
    for (std::uint64_t b = 0; b < blocks * std::uint64_t(recipe.components); ++b) {
        first.put(0, recipe.progressive ? 1 : 2);  // DC, and for a baseline block its end of block
    }
    Append(out, first.finish());

    for (int k = 0; recipe.progressive && k < recipe.acScans; ++k) {
        Segment(out, 0xDA, {1, std::uint8_t(k % recipe.components + 1), 0x00, 1, 63, 0});
        BitWriter bits;
        for (std::uint64_t left = blocks; left > 0;) {
            const auto run = std::uint32_t(left < 32767 ? left : 32767);
            PutEndOfBands(bits, run);
            left -= run;
        }
        Append(out, bits.finish());
    }
    Append(out, {0xFF, 0xD9});
    return out;
}

}  // namespace discstart
