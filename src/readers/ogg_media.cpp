#include "readers/ogg_media.h"

#include <optional>

#include "readers/byte_window.h"

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

void ReadOggInfo(const std::string& path, const NumberFormat& format, OggStreamInfo& info,
                 const FileOpener& files) {
    // An opened file always yields four characters, so empty means the open failed.
    auto codec = ReadOggVideoCodec(path, files);
    if (codec.empty()) return;
    info.videoCodec = std::move(codec);

    const auto file = files.open(path);
    if (!file) return;
    const ByteWindow fields = ByteWindow::Read(*file, FieldsStart, FieldsEnd - FieldsStart);

    const std::int32_t timeUnit = fields.int32At(TimeUnitOffset);
    if (timeUnit == 0) return;
    info.frameRateText = FormatFixed(10'000'000.0 / timeUnit, 3, format);
    info.widthText = std::to_string(fields.int32At(WidthOffset));
    info.heightText = std::to_string(fields.int32At(HeightOffset));
    if (auto channels = ChannelsText(fields.byteAt(ChannelsOffset))) info.channelsText = std::move(*channels);
    info.sampleRateText = std::to_string(fields.int32At(SampleRateOffset)) + " Hz";
    info.bitrateText = FormatFixed(fields.int32At(BitrateOffset) / 1000.0, 2, format);
}

std::optional<OggStreamNumbers> ReadOggNumbers(const std::string& path, const FileOpener& files) {
    const auto file = files.open(path);
    if (!file) return std::nullopt;
    const ByteWindow window = ByteWindow::Read(*file, CodecOffset, FieldsEnd - CodecOffset);
    return OggStreamNumbers{window.textAt(CodecOffset, 4), window.int32At(TimeUnitOffset),
                            window.int32At(WidthOffset),   window.int32At(HeightOffset),
                            window.byteAt(ChannelsOffset), window.int32At(SampleRateOffset),
                            window.int32At(BitrateOffset)};
}

}  // namespace Ogg

}  // namespace discstart
