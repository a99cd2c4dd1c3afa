#include "info/panel.h"

#include <cmath>
#include <string_view>

#include "info/film_names.h"
#include "info/naming.h"
#include "info/ogg_panel.h"
#include "info/panel_rows.h"
#include "media/ogg/ogg_media.h"
#include "media/riff/avi_header.h"
#include "media/riff/info_tags.h"
#include "text/control_escape.h"
#include "text/display_text.h"
#include "text/number_pattern.h"

namespace discstart {

std::optional<std::string> Patterned(double value, std::string_view pattern, const NumberFormat& format) {
    if (!std::isfinite(value)) return std::nullopt;
    return FormatPattern(value, pattern, format);
}

std::optional<std::string> LengthText(std::int32_t seconds, const NumberFormat& format) {
    const double minutes = std::floor(seconds / 60.0);
    const auto minutesText = Patterned(minutes, Pattern::Minutes, format);
    const auto secondsText = Patterned(seconds - 60 * minutes, Pattern::Seconds, format);
    if (!minutesText || !secondsText) return std::nullopt;
    return *minutesText + *secondsText;
}

namespace {

std::string TagLine(std::string_view prefix, const std::string& tag, std::size_t length) {
    return CutCharacters(std::string(prefix) + DisplayLine(tag), length);
}

}  // namespace

void WriteTagLines(const MovieTags& tags, PanelUpdate& update) {
    update.titleLine = TagLine("", tags.title, TitleLineLength);
    if (!tags.author.empty()) update.authorLine = TagLine("Author: ", tags.author, TagLineLength);
    if (!tags.copyright.empty()) {
        update.copyrightLine = TagLine("Copyright: ", tags.copyright, TagLineLength);
    }
    if (!tags.genre.empty()) update.genreLine = TagLine("Genre: ", tags.genre, TagLineLength);
}

namespace {

void WriteAviRows(const AviHeaderInfo& avi, const PanelInput& input, PanelUpdate& update) {
    const MovieFacts& facts = update.facts;
    auto& rows = update.rows;
    const NumberFormat& format = input.format;
    // Without a frame duration there is no frame rate, so the rows built on it keep their texts.
    if (facts.framesPerSecond) {
        update.carry.framesPerSecond = *facts.framesPerSecond;
        update.carry.lengthSeconds = *facts.wholeSeconds;
        rows[10] = LengthText(update.carry.lengthSeconds, format);
        rows[3] = Patterned(update.carry.framesPerSecond, Pattern::Decimal2, format);
    }
    rows[9] = Patterned(*facts.sizeBytes / 1024.0 / 1024.0, Pattern::Megabytes, format);

    const VideoCodecLookup codec = VideoCodecName(avi.videoCodec);
    if (codec.xvidPicture) update.xvidPicture = true;
    rows[0] = DisplayLine(codec.name);
    if (facts.videoBitsPerSecond)
        rows[1] = Patterned(*facts.videoBitsPerSecond / 1024, Pattern::Kbits, format);
    rows[2] = std::to_string(facts.width) + " x " + std::to_string(facts.height);
    rows[5] = AudioCodecName(avi.audioFormatTag);
    rows[6] = AudioBitrateText(static_cast<std::int32_t>(facts.audioBitsPerSecond / 8), input.steps);
    rows[7] = ChannelCountText(static_cast<std::int16_t>(facts.channels));
    rows[8] = Patterned(double(facts.sampleRate), Pattern::Hertz, format);
}

}  // namespace

PanelUpdate RunPanel(const PanelInput& input, PanelRecords records, const FileOpener& files) {
    PanelUpdate update;
    update.carry = input.carry;
    const std::string& path = input.moviePath;
    if (path.empty()) return update;

    // One open and one length for every reader, whatever kind the film turns out to be.
    const auto file = files.open(path);
    const auto length = files.length(path);
    update.facts.fileLength = length;
    // A film by its name is read as one: no INFO search, no AVI header read.
    if (FilmExtensionLength(path) == 0) {
        if (file) DivX::ReadInfoTags(*file, records.tags);
        WriteTagLines(records.tags, update);
        if (file) update.kind = ReadAviHeader(*file, length, records.avi);
        if (update.kind == MovieFileKind::OggMedia) {
            const ByteWindow head = ByteWindow::Read(*file, 0, Ogg::HeadBlock);
            WriteOggFileRows(*file, head, length, input, records, update);
            return update;
        }
        if (update.kind == MovieFileKind::Avi) {
            update.facts = ComputeMovieFacts(records.avi, length, input.carry.lengthSeconds);
            WriteAviRows(records.avi, input, update);
            return update;
        }
    }
    if (!file) return update;
    // A film by its content, whatever its name: an MP4 named .avi is described too.
    ContainerInfo unkept;
    ContainerInfo& film = records.container ? *records.container : unkept;
    update.kind = ReadContainer(*file, length && *length > 0 ? std::uint64_t(*length) : 0, film);
    if (update.kind == MovieFileKind::Other) return update;
    // The film's own tags, not what the INFO search may have met in its bytes.
    update.titleLine = update.authorLine = update.copyrightLine = update.genreLine = std::nullopt;
    records.tags = film.tags;
    WriteTagLines(records.tags, update);
    update.facts = ComputeMovieFacts(update.kind, film, length);
    WriteContainerRows(film, update.facts, input, update);
    return update;
}

}  // namespace discstart
