#include "media/codecs/aac_config.h"

#include <array>

#include "bytes/bit_reader.h"

namespace discstart {

namespace Aac {

namespace {

constexpr std::array<std::uint32_t, 13> SampleRates = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                       22050, 16000, 12000, 11025, 8000,  7350};
// Channel configurations 0 (a program config element says) to 14; 8 to 10 are reserved.
constexpr std::array<std::uint32_t, 15> ConfigurationChannels = {0, 1, 2, 3, 4, 5,  6, 8,
                                                                 0, 0, 0, 7, 8, 24, 8};
constexpr std::uint32_t Sbr = 5;
constexpr std::uint32_t Ps = 29;

std::uint32_t ObjectType(BitReader& bits) {
    const std::uint32_t type = bits.read(5);
    return type == 31 ? 32 + bits.read(6) : type;
}

std::uint32_t SampleRate(BitReader& bits) {
    const std::uint32_t index = bits.read(4);
    if (index == 15) return bits.read(24);
    return index < SampleRates.size() ? SampleRates[index] : 0;
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

// program_config_element: its front, side and back elements (a channel pair counts two) and
// its LFE channels; the mixdown, coupling and data elements and the comment are passed over.
std::uint32_t ProgramConfigChannels(BitReader& bits) {
    bits.read(4 + 2 + 4);  // element_instance_tag, object_type, sampling_frequency_index
    const std::uint32_t front = bits.read(4);
    const std::uint32_t side = bits.read(4);
    const std::uint32_t back = bits.read(4);
    const std::uint32_t lfe = bits.read(2);
    const std::uint32_t data = bits.read(3);
    const std::uint32_t coupling = bits.read(4);
    if (bits.flag()) bits.read(4);  // mono mixdown
    if (bits.flag()) bits.read(4);  // stereo mixdown
    if (bits.flag()) bits.read(3);  // matrix mixdown
    std::uint32_t channels = lfe;
    for (std::uint32_t i = 0; i < front + side + back; ++i) {
        channels += bits.flag() ? 2 : 1;
        bits.read(4);  // element_tag_select
    }
    bits.skip(4 * lfe + 4 * data + 5 * coupling);
    bits.align();
    bits.skip(8 * std::size_t{bits.read(8)});  // the comment
    return channels;
}

// GASpecificConfig: the channels of a program config element where the configuration is 0.
std::uint32_t GeneralAudioConfig(BitReader& bits, std::uint32_t type, std::uint32_t configuration) {
    bits.read(1);                    // frameLengthFlag
    if (bits.flag()) bits.read(14);  // dependsOnCoreCoder: coreCoderDelay
    const bool extension = bits.flag();
    const std::uint32_t channels = configuration == 0 ? ProgramConfigChannels(bits) : 0;
    if (type == 6 || type == 20) bits.read(3);  // layerNr
    if (extension) {
        if (type == 22) bits.read(5 + 11);  // numOfSubFrame, layer_length
        if (type == 17 || type == 19 || type == 20 || type == 23) bits.read(3);
        bits.read(1);  // extensionFlag3
    }
    return channels;
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
    if (ObjectType(bits) != Sbr || !bits.flag()) return extension;
    extension.sbr = true;
    extension.sampleRate = SampleRate(bits);
    if (bits.left() >= 12 && bits.read(11) == 0x548) extension.ps = bits.flag();
    return extension;
}

}  // namespace

std::optional<AudioSpecificConfig> ReadAudioSpecificConfig(std::string_view bytes) {
    BitReader bits(bytes);
    std::uint32_t type = ObjectType(bits);
    const std::uint32_t sampleRate = SampleRate(bits);
    const std::uint32_t configuration = bits.read(4);
    if (bits.overrun() || type == 0) return std::nullopt;

    Extension extension;
    const bool hierarchical = type == Sbr || type == Ps;
    if (hierarchical) {
        // The extension first, then the core it extends.
        extension.sbr = true;
        extension.ps = type == Ps;
        extension.sampleRate = SampleRate(bits);
        type = ObjectType(bits);
    }
    AudioSpecificConfig config;
    config.channels = configuration < ConfigurationChannels.size() ? ConfigurationChannels[configuration] : 0;
    if (IsGeneralAudio(type)) {
        const std::uint32_t counted = GeneralAudioConfig(bits, type, configuration);
        if (configuration == 0 && !bits.overrun()) config.channels = counted;
        const std::uint32_t errorProtection = IsErrorResilient(type) ? bits.read(2) : 0;
        if (!hierarchical && errorProtection < 2 && !bits.overrun()) extension = SyncExtension(bits);
        if (bits.overrun() && !hierarchical) extension = {};
    }
    config.objectType = static_cast<std::uint8_t>(extension.ps ? Ps : extension.sbr ? Sbr : type);
    config.sampleRate = extension.sampleRate != 0 ? extension.sampleRate : sampleRate;
    // Parametric stereo makes stereo of a mono core.
    if (extension.ps && config.channels == 1) config.channels = 2;
    return config;
}

}  // namespace Aac

}  // namespace discstart
