#include "info/ogg_panel.h"

#include "info/panel_rows.h"
#include "media/ogg/ogg_streams.h"
#include "text/control_escape.h"
#include "text/display_text.h"
#include "text/number_pattern.h"

namespace discstart {

namespace Ogg {

namespace {

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

// The Bitrate row rounds the two-decimal kilobit text once more: 127,495 bit/s read 127.50,
// so the row says 128.
double KbitsAsShown(std::int64_t bitsPerSecond) {
    const auto hundredths = RoundDecimal(bitsPerSecond / 1000.0, 2);
    double whole = 0;
    for (const char digit : hundredths->integerDigits) whole = whole * 10 + (digit - '0');
    if (hundredths->fractionDigits[0] >= '5') whole += 1;
    return hundredths->negative ? -whole : whole;
}

}  // namespace

void FillOggStreamInfo(const MovieFacts& facts, const NumberFormat& format, OggStreamInfo& info) {
    info.videoCodec = facts.videoCodec;
    if (!facts.framesPerSecond) return;
    info.frameRateText = FormatFixed(*facts.framesPerSecond, 3, format);
    info.widthText = std::to_string(facts.width);
    info.heightText = std::to_string(facts.height);
    if (auto channels = ChannelsText(static_cast<std::uint8_t>(facts.channels)))
        info.channelsText = std::move(*channels);
    info.sampleRateText = std::to_string(facts.sampleRate) + " Hz";
    info.bitrateText = FormatFixed(double(facts.audioBitsPerSecond) / 1000.0, 2, format);
}

std::optional<OggStreamNumbers> ReadOggInfo(const std::string& path, const NumberFormat& format,
                                            OggStreamInfo& info, const FileOpener& files) {
    const auto file = files.open(path);
    if (!file) return std::nullopt;
    OggStreamNumbers numbers = ReadOggMedia(ByteWindow::Read(*file, 0, HeadBlock));
    FillOggStreamInfo(ComputeMovieFacts(numbers, std::nullopt), format, info);
    return numbers;
}

}  // namespace Ogg

namespace {

void WriteOggMediaRows(const ByteWindow& head, std::optional<std::int64_t> fileLength,
                       const NumberFormat& format, PanelRecords records, PanelUpdate& update) {
    OggStreamInfo& ogg = records.ogg;
    const Ogg::OggStreamNumbers numbers = Ogg::ReadOggMedia(head);
    update.facts = ComputeMovieFacts(numbers, fileLength);
    const MovieFacts& facts = update.facts;
    Ogg::FillOggStreamInfo(facts, format, ogg);
    if (records.oggNumbers) *records.oggNumbers = numbers;
    auto& rows = update.rows;
    rows[0] = DisplayLine(ogg.videoCodec);
    if (ogg.videoCodec == "XVID" || ogg.videoCodec == "xvid") update.xvidPicture = true;
    rows[2] = DisplayLine(ogg.widthText) + " x " + DisplayLine(ogg.heightText);
    rows[3] = DisplayLine(ogg.frameRateText);
    rows[5] = "Ogg Vorbis";
    // A reading that stopped at the time unit left the bitrate unread: the row keeps its text.
    if (facts.framesPerSecond) {
        rows[6] = Patterned(Ogg::KbitsAsShown(facts.audioBitsPerSecond), Pattern::Kbits, format);
    }
    rows[7] = DisplayLine(ogg.channelsText);
    rows[8] = DisplayLine(ogg.sampleRateText);
    if (facts.sizeBytes) {
        if (auto size = Patterned(*facts.sizeBytes / 1024 / 1024, Pattern::Megabytes, format)) {
            rows[9] = " " + *size;
        }
    }
    update.titleLine = "";
}

}  // namespace

void WriteOggFileRows(ByteFile& file, const ByteWindow& head, std::optional<std::int64_t> fileLength,
                      const PanelInput& input, PanelRecords records, PanelUpdate& update) {
    if (!Ogg::IsStandardOgg(head)) {
        update.kind = MovieFileKind::OggMedia;
        WriteOggMediaRows(head, fileLength, input.format, records, update);
        return;
    }
    update.kind = MovieFileKind::Ogg;
    ContainerInfo unkept;
    ContainerInfo& film = records.container ? *records.container : unkept;
    film = {};
    Ogg::ReadOggStreams(file, head, fileLength, film);
    update.facts = ComputeMovieFacts(MovieFileKind::Ogg, film, fileLength);
    WriteContainerRows(film, update.facts, input, update);
    // As for Ogg media: the tags of the Vorbis comment are not read, and the title line is emptied.
    update.titleLine = "";
}

}  // namespace discstart
