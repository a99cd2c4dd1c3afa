#include "media/ogg/ogg_media.h"

#include <optional>

#include "bytes/byte_window.h"

namespace discstart {

namespace Ogg {

namespace {

constexpr std::uint64_t CodecOffset = 37;
// Everything after the codec code lies in bytes 45..136: one read from the time unit to
// the end of the nominal bitrate.
constexpr std::uint64_t FieldsStart = 45;
constexpr std::uint64_t FieldsEnd = 137;
constexpr std::uint64_t TimeUnitOffset = 45;
constexpr std::uint64_t WidthOffset = 73;
constexpr std::uint64_t HeightOffset = 77;
constexpr std::uint64_t ChannelsOffset = 124;
constexpr std::uint64_t SampleRateOffset = 125;
constexpr std::uint64_t BitrateOffset = 133;

// Nothing for the channel counts the panel has no words for.
std::optional<std::string> ChannelsText(std::uint8_t channels) {
    switch (channels) {
        case 1:
            return "Mono";
        case 2:
            return "2 (stereo)";
        case 4:
        case 5:
            return "Surround " + std::to_string(channels) + "ch";
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string ReadOggVideoCodec(const std::string& path, const FileOpener& files) {
    const auto file = files.open(path);
    if (!file) return {};
    return ByteWindow::Read(*file, CodecOffset, 4).textAt(CodecOffset, 4);
}

std::optional<OggStreamNumbers> ReadOggInfo(const std::string& path, const NumberFormat& format,
                                            OggStreamInfo& info, const FileOpener& files) {
    // An opened file always yields four characters, so empty means the open failed.
    auto codec = ReadOggVideoCodec(path, files);
    if (codec.empty()) return std::nullopt;
    info.videoCodec = codec;
    OggStreamNumbers numbers{std::move(codec)};

    const auto file = files.open(path);
    if (!file) return numbers;
    const ByteWindow fields = ByteWindow::Read(*file, FieldsStart, FieldsEnd - FieldsStart);
    numbers.timeUnit = fields.int32At(TimeUnitOffset);
    numbers.width = fields.int32At(WidthOffset);
    numbers.height = fields.int32At(HeightOffset);
    numbers.channels = fields.byteAt(ChannelsOffset);
    numbers.sampleRate = fields.int32At(SampleRateOffset);
    numbers.nominalBitrate = fields.int32At(BitrateOffset);

    if (numbers.timeUnit == 0) return numbers;
    info.frameRateText = FormatFixed(10'000'000.0 / numbers.timeUnit, 3, format);
    info.widthText = std::to_string(numbers.width);
    info.heightText = std::to_string(numbers.height);
    if (auto channels = ChannelsText(numbers.channels)) info.channelsText = std::move(*channels);
    info.sampleRateText = std::to_string(numbers.sampleRate) + " Hz";
    info.bitrateText = FormatFixed(numbers.nominalBitrate / 1000.0, 2, format);
    return numbers;
}

}  // namespace Ogg

}  // namespace discstart
