#include "media/codecs/audio_config.h"

#include <array>
#include <cstdint>

#include "bytes/bit_reader.h"

namespace discstart {

namespace Iso {

namespace {

constexpr std::array<std::uint32_t, 3> Ac3SampleRates = {48000, 44100, 32000};
// Full-range channels of each audio coding mode; mode 0 is two independent mono channels.
constexpr std::array<std::uint32_t, 8> Ac3Channels = {2, 1, 2, 3, 3, 4, 4, 5};
constexpr std::array<std::uint32_t, 19> Ac3KilobitRates = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                                           192, 224, 256, 320, 384, 448, 512, 576, 640};

void SetAc3Rate(std::uint32_t code, TrackFacts& facts) {
    if (code < Ac3SampleRates.size()) facts.sampleRate = Ac3SampleRates[code];
}

// Channels a dependent substream's chan_loc adds, most significant bit first: Lc/Rc, Lrs/Rrs,
// Cs, Ts, Lsd/Rsd, Lw/Rw, Lvh/Rvh, Cvh, LFE2.
std::uint32_t LocationChannels(std::uint32_t locations) {
    constexpr std::array<std::uint32_t, 9> perBit = {2, 2, 1, 1, 2, 2, 2, 1, 1};
    std::uint32_t channels = 0;
    for (std::size_t i = 0; i < perBit.size(); ++i) {
        if (locations & (1u << (8 - i))) channels += perBit[i];
    }
    return channels;
}

}  // namespace

void ReadAc3Config(std::string_view bytes, TrackFacts& facts) {
    BitReader bits(bytes);
    const std::uint32_t rateCode = bits.read(2);
    bits.read(5 + 3);  // bsid, bsmod
    const std::uint32_t mode = bits.read(3);
    const std::uint32_t lfe = bits.read(1);
    const std::uint32_t bitRateCode = bits.read(5);
    if (bits.overrun()) return;
    SetAc3Rate(rateCode, facts);
    facts.channels = Ac3Channels[mode] + lfe;
    if (bitRateCode < Ac3KilobitRates.size()) facts.bitrate = Ac3KilobitRates[bitRateCode] * 1000ull;
}

void ReadEac3Config(std::string_view bytes, TrackFacts& facts) {
    BitReader bits(bytes);
    const std::uint32_t kilobits = bits.read(13);
    bits.read(3);  // num_ind_sub
    const std::uint32_t rateCode = bits.read(2);
    bits.read(5 + 1 + 1 + 3);  // bsid, reserved, asvc, bsmod
    const std::uint32_t mode = bits.read(3);
    const std::uint32_t lfe = bits.read(1);
    bits.read(3);
    const std::uint32_t dependents = bits.read(4);
    const std::uint32_t locations = dependents > 0 ? bits.read(9) : 0;
    if (bits.overrun()) return;
    if (kilobits != 0) facts.bitrate = kilobits * 1000ull;
    SetAc3Rate(rateCode, facts);
    facts.channels = Ac3Channels[mode] + lfe + LocationChannels(locations);
}

void ReadFlacConfig(std::string_view bytes, TrackFacts& facts) {
    // A block header (last flag, type 0, 24-bit length), then STREAMINFO: the sample rate's 20
    // bits start at its byte 10, the channel count less one follows in 3 bits.
    constexpr std::size_t header = 4;
    constexpr std::size_t streamInfo = 34;
    if (bytes.size() < header + streamInfo) return;
    const auto byte = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at]));
    };
    const std::uint32_t length = (byte(1) << 16) | (byte(2) << 8) | byte(3);
    if ((byte(0) & 0x7F) != 0 || length < streamInfo) return;
    const std::uint32_t rate =
        (byte(header + 10) << 12) | (byte(header + 11) << 4) | (byte(header + 12) >> 4);
    if (rate != 0) facts.sampleRate = rate;
    facts.channels = ((byte(header + 12) >> 1) & 7) + 1;
}

}  // namespace Iso

}  // namespace discstart
