#include <array>
#include <string_view>

#include "media/codecs/aac_config.h"
#include "media/matroska/sections.h"

namespace discstart {

namespace {

// The profile spelled in the CodecID of files made before AAC got a CodecPrivate.
std::uint8_t AacObjectTypeFromId(std::string_view codecId) {
    constexpr std::array<std::pair<std::string_view, std::uint8_t>, 5> profiles = {
        {{"/LC/SBR", 5}, {"/LC", 2}, {"/MAIN", 1}, {"/SSR", 3}, {"/LTP", 4}}};
    for (const auto& [suffix, type] : profiles) {
        if (codecId.ends_with(suffix)) return type;
    }
    return 0;
}

// A Xiph-laced CodecPrivate's first packet: where it starts and how long it is.
std::optional<std::pair<std::uint64_t, std::uint64_t>> FirstXiphPacket(const ByteWindow& window,
                                                                       const EbmlElement& laced) {
    if (laced.size < 1) return std::nullopt;
    const std::uint64_t others = window.byteAt(laced.dataStart);
    std::uint64_t at = laced.dataStart + 1;
    std::uint64_t firstSize = 0;
    for (std::uint64_t packet = 0; packet < others; ++packet) {
        std::uint64_t size = 0;
        std::uint8_t part = 255;
        while (part == 255) {
            if (at >= laced.end()) return std::nullopt;
            part = window.byteAt(at++);
            size += part;
        }
        if (packet == 0) firstSize = size;
    }
    if (others == 0 || firstSize > laced.end() - at) return std::nullopt;
    return std::pair{at, firstSize};
}

// The nominal bit rate of a Vorbis identification header, where it states one.
std::uint64_t VorbisNominalBitrate(const ByteWindow& window, const EbmlElement& codecPrivate) {
    const auto packet = FirstXiphPacket(window, codecPrivate);
    constexpr std::uint64_t NominalAt = 20;
    if (!packet || packet->second < NominalAt + 4 || window.textAt(packet->first, 7) != "\x01vorbis")
        return 0;
    const std::int32_t nominal = window.int32At(packet->first + NominalAt);
    return nominal > 0 ? static_cast<std::uint64_t>(nominal) : 0;
}

}  // namespace

void ReadCodecDetails(const ByteWindow& window, const EbmlElement* codecPrivate, TrackFacts& track) {
    const std::string_view id = track.codecId;
    if (id.starts_with("A_AAC/")) track.audioObjectType = AacObjectTypeFromId(id);
    if (!codecPrivate || !window.holds(codecPrivate->dataStart, codecPrivate->size)) return;
    const EbmlElement& data = *codecPrivate;
    constexpr std::uint64_t BitmapInfoHeader = 40;
    constexpr std::uint64_t CompressionAt = 16;
    constexpr std::uint64_t WaveFormatEx = 16;  // without its cbSize field, as some writers store it
    if (id == "V_MS/VFW/FOURCC" && data.size >= BitmapInfoHeader) {
        track.fourcc = window.textAt(data.dataStart + CompressionAt, 4);
    } else if (id == "A_MS/ACM" && data.size >= WaveFormatEx) {
        track.formatTag = window.uint16At(data.dataStart);
    } else if (id.starts_with("A_AAC")) {
        // The track's own elements give the rate and channels; the set-up adds the profile.
        const auto config = Aac::ReadAudioSpecificConfig(window.textAt(data.dataStart, data.size));
        if (config && config->objectType != 0) track.audioObjectType = config->objectType;
    } else if (id == "A_VORBIS") {
        track.bitrate = VorbisNominalBitrate(window, data);
    }
}

}  // namespace discstart
