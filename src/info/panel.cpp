#include "info/panel.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "info/control_escape.h"
#include "info/display_text.h"
#include "info/film_names.h"
#include "info/naming.h"
#include "info/number_pattern.h"
#include "info/ogg_panel.h"
#include "info/panel_rows.h"
#include "media/ogg/ogg_media.h"
#include "media/riff/avi_header.h"
#include "media/riff/info_tags.h"

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

// framesPerSecond and lengthSeconds; a length outside 32 bits keeps the earlier one.
void ComputeTiming(const AviHeaderInfo& avi, PanelCarry& carry) {
    carry.framesPerSecond = 1'000'000.0 / avi.microSecPerFrame;
    // An OpenDML film's main header counts the first RIFF chunk's frames only.
    const double frames = avi.openDmlFrames != 0 ? double(avi.openDmlFrames) : double(avi.totalFrames);
    const double length = RoundHalfEven(frames / carry.framesPerSecond);
    if (length >= std::numeric_limits<std::int32_t>::min() &&
        length <= std::numeric_limits<std::int32_t>::max()) {
        carry.lengthSeconds = static_cast<std::int32_t>(length);
    }
}

void WriteAviRows(const AviHeaderInfo& avi, const PanelInput& input, PanelUpdate& update) {
    auto& rows = update.rows;
    const NumberFormat& format = input.format;
    // Without a frame duration there is no frame rate, so the rows built on it keep their texts.
    const bool timed = avi.microSecPerFrame != 0;
    if (timed) ComputeTiming(avi, update.carry);
    const std::int32_t seconds = update.carry.lengthSeconds;

    // The RIFF chunk's size; for an OpenDML film, the whole file.
    const double size = avi.openDmlLength != 0 ? double(avi.openDmlLength) : double(avi.riffSize);
    rows[9] = Patterned(size / 1024.0 / 1024.0, Pattern::Megabytes, format);
    if (timed) rows[10] = LengthText(seconds, format);

    const VideoCodecLookup codec = VideoCodecName(avi.videoCodec);
    if (codec.xvidPicture) update.xvidPicture = true;
    rows[0] = DisplayLine(codec.name);

    if (timed && seconds != 0) {
        const double kbits = (size / seconds - avi.audioBytesPerSec) / 1024 * 8;
        rows[1] = Patterned(kbits, Pattern::Kbits, format);
    }
    rows[2] = std::to_string(avi.width) + " x " + std::to_string(avi.height);
    if (timed) rows[3] = Patterned(update.carry.framesPerSecond, Pattern::Decimal2, format);
    rows[5] = AudioCodecName(avi.audioFormatTag);
    rows[6] = AudioBitrateText(avi.audioBytesPerSec, input.steps);
    rows[7] = ChannelCountText(avi.audioChannels);
    rows[8] = Patterned(avi.audioSampleRate, Pattern::Hertz, format);
}

}  // namespace

PanelUpdate RunPanel(const PanelInput& input, PanelRecords records, const FileOpener& files) {
    PanelUpdate update;
    update.carry = input.carry;
    const std::string& path = input.moviePath;
    if (path.empty()) return update;

    // A film by its name is read as one: no INFO search, no AVI header read.
    if (FilmExtensionLength(path) == 0) {
        // One open for the tags, the AVI header and the Ogg pages.
        const auto file = files.open(path);
        const auto length = files.length(path);
        if (file) DivX::ReadInfoTags(*file, records.tags);
        WriteTagLines(records.tags, update);
        if (file) update.kind = ReadAviHeader(*file, length, records.avi);
        if (update.kind == MovieFileKind::OggMedia) {
            const ByteWindow head = ByteWindow::Read(*file, 0, Ogg::HeadBlock);
            WriteOggFileRows(*file, head, length, input, records, update);
            return update;
        }
    }
    switch (update.kind) {
        case MovieFileKind::OggMedia:
        case MovieFileKind::Ogg:
            break;
        case MovieFileKind::Avi:
            WriteAviRows(records.avi, input, update);
            break;
        case MovieFileKind::Mp4:
        case MovieFileKind::Matroska:
            break;
        case MovieFileKind::Other: {
            // A film by its content, whatever its name: an MP4 named .avi is described too.
            ContainerInfo unkept;
            ContainerInfo& film = records.container ? *records.container : unkept;
            update.kind = ReadContainer(path, film, files);
            if (update.kind == MovieFileKind::Other) break;
            // The film's own tags, not what the INFO search may have met in its bytes.
            update.titleLine = update.authorLine = update.copyrightLine = update.genreLine = std::nullopt;
            records.tags = film.tags;
            WriteTagLines(records.tags, update);
            WriteContainerRows(film, files.length(path), input, update);
            break;
        }
    }
    return update;
}

}  // namespace discstart
