#include "media/codecs/audio_config.h"

#include <array>
#include <cstdint>

namespace discstart {

namespace Iso {

namespace {

// Most significant bit first; bits past the end read as zero and are remembered.
class BitReader {
  public:
    explicit BitReader(std::string_view bytes) : bytes_(bytes) {}

    std::uint32_t read(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            std::uint32_t bit = 0;
            if (position_ < bytes_.size() * 8) {
                const auto byte = static_cast<std::uint8_t>(bytes_[position_ / 8]);
                bit = (byte >> (7 - position_ % 8)) & 1u;
                ++position_;
            } else {
                overrun_ = true;
            }
            value = (value << 1) | bit;
        }
        return value;
    }
    std::size_t left() const { return bytes_.size() * 8 - position_; }
    bool overrun() const { return overrun_; }

  private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    bool overrun_ = false;
};

constexpr std::array<std::uint32_t, 13> AacSampleRates = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                          22050, 16000, 12000, 11025, 8000,  7350};
// Channel configurations 0 (a program config element says) to 14; 8 to 10 are reserved.
constexpr std::array<std::uint32_t, 15> AacChannels = {0, 1, 2, 3, 4, 5, 6, 8, 0, 0, 0, 7, 8, 24, 8};

std::uint32_t AudioObjectType(BitReader& bits) {
    const std::uint32_t type = bits.read(5);
    return type == 31 ? 32 + bits.read(6) : type;
}

std::uint32_t AacSampleRate(BitReader& bits) {
    const std::uint32_t index = bits.read(4);
    if (index == 15) return bits.read(24);
    return index < AacSampleRates.size() ? AacSampleRates[index] : 0;
}

bool IsGeneralAudio(std::uint32_t type) {
    switch (type) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 6:
        case 7:
        case 17:
        case 19:
        case 20:
        case 21:
        case 22:
        case 23:
            return true;
        default:
            return false;
    }
}

bool IsErrorResilient(std::uint32_t type) {
    return (type >= 17 && type <= 27 && type != 18) || type == 39;
}

// GASpecificConfig for a stated channel configuration (a program config element is not walked).
void SkipGeneralAudioConfig(BitReader& bits, std::uint32_t type) {
    bits.read(1);                     // frameLengthFlag
    if (bits.read(1)) bits.read(14);  // dependsOnCoreCoder: coreCoderDelay
    const bool extension = bits.read(1) != 0;
    if (type == 6 || type == 20) bits.read(3);  // layerNr
    if (!extension) return;
    if (type == 22) bits.read(5 + 11);  // numOfSubFrame, layer_length
    if (type == 17 || type == 19 || type == 20 || type == 23) bits.read(3);
    bits.read(1);  // extensionFlag3
}

struct Extension {
    std::uint32_t sampleRate = 0;  // SBR's output rate
    bool sbr = false;
    bool ps = false;
};

// The backward-compatible explicit signalling: a sync extension after the core's config.
Extension SyncExtension(BitReader& bits) {
    Extension extension;
    if (bits.left() < 16 || bits.read(11) != 0x2B7) return extension;
    if (AudioObjectType(bits) != 5 || !bits.read(1)) return extension;
    extension.sbr = true;
    extension.sampleRate = AacSampleRate(bits);
    if (bits.left() >= 12 && bits.read(11) == 0x548) extension.ps = bits.read(1) != 0;
    return extension;
}

}  // namespace

void ReadAudioSpecificConfig(std::string_view bytes, TrackFacts& facts) {
    BitReader bits(bytes);
    std::uint32_t type = AudioObjectType(bits);
    const std::uint32_t sampleRate = AacSampleRate(bits);
    const std::uint32_t configuration = bits.read(4);
    if (bits.overrun() || type == 0) return;

    Extension extension;
    if (type == 5 || type == 29) {
        // Hierarchical signalling: the extension first, then the core it extends.
        extension.sbr = true;
        extension.ps = type == 29;
        extension.sampleRate = AacSampleRate(bits);
        type = AudioObjectType(bits);
    } else if (configuration != 0 && IsGeneralAudio(type)) {
        SkipGeneralAudioConfig(bits, type);
        const std::uint32_t errorProtection = IsErrorResilient(type) ? bits.read(2) : 0;
        if (errorProtection < 2 && !bits.overrun()) extension = SyncExtension(bits);
        if (bits.overrun()) extension = {};
    }

    facts.audioObjectType = static_cast<std::uint8_t>(extension.ps ? 29 : extension.sbr ? 5 : type);
    if (sampleRate != 0) facts.sampleRate = sampleRate;
    if (extension.sampleRate != 0) facts.sampleRate = extension.sampleRate;
    if (configuration < AacChannels.size() && AacChannels[configuration] != 0) {
        // Parametric stereo makes stereo of a mono core.
        facts.channels = extension.ps && configuration == 1 ? 2 : AacChannels[configuration];
    }
}

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
