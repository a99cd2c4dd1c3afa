#include <array>
#include <string_view>

#include "media/matroska/sections.h"

namespace discstart {

namespace {

// Big-endian bits of a payload; reading past its end sets `past` and gives zero bits.
class BitReader {
  public:
    BitReader(const ByteWindow& window, const EbmlElement& element) : window_(window), element_(element) {}

    std::uint32_t bits(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const std::uint64_t byte = position_ / 8;
            if (byte >= element_.size) {
                past_ = true;
                return 0;
            }
            const int shift = 7 - static_cast<int>(position_ % 8);
            value = (value << 1) | ((window_.byteAt(element_.dataStart + byte) >> shift) & 1u);
            ++position_;
        }
        return value;
    }
    std::uint64_t left() const { return element_.size * 8 - position_; }
    bool past() const { return past_; }

  private:
    const ByteWindow& window_;
    const EbmlElement& element_;
    std::uint64_t position_ = 0;
    bool past_ = false;
};

constexpr std::uint32_t AacLc = 2;
constexpr std::uint32_t AacSbr = 5;
constexpr std::uint32_t AacPs = 29;

std::uint32_t AudioObjectType(BitReader& in) {
    const std::uint32_t type = in.bits(5);
    return type == 31 ? 32 + in.bits(6) : type;
}

void SkipSamplingFrequency(BitReader& in) {
    if (in.bits(4) == 15) in.bits(24);
}

// The AudioSpecificConfig's object type. HE-AAC is signalled either first (5 SBR, 29 PS) or,
// as muxers write it for older decoders, in an extension after an LC configuration.
std::uint8_t AacObjectType(const ByteWindow& window, const EbmlElement& config) {
    BitReader in(window, config);
    const std::uint32_t type = AudioObjectType(in);
    SkipSamplingFrequency(in);
    const std::uint32_t channels = in.bits(4);
    if (in.past() || type > 255) return 0;
    if (type != AacLc || channels == 0) return static_cast<std::uint8_t>(type);
    // GASpecificConfig: frame length, core coder delay, extension flag.
    in.bits(1);
    if (in.bits(1)) in.bits(14);
    in.bits(1);
    if (in.left() < 16 || in.bits(11) != 0x2B7 || AudioObjectType(in) != AacSbr || !in.bits(1) || in.past()) {
        return static_cast<std::uint8_t>(type);
    }
    SkipSamplingFrequency(in);
    const bool parametricStereo = in.left() >= 12 && in.bits(11) == 0x548 && in.bits(1);
    return static_cast<std::uint8_t>(parametricStereo && !in.past() ? AacPs : AacSbr);
}

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
        if (const std::uint8_t type = AacObjectType(window, data)) track.audioObjectType = type;
    } else if (id == "A_VORBIS") {
        track.bitrate = VorbisNominalBitrate(window, data);
    }
}

}  // namespace discstart
