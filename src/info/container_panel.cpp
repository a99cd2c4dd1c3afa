#include <algorithm>
#include <cmath>
#include <limits>

#include "info/container_naming.h"
#include "info/control_escape.h"
#include "info/display_text.h"
#include "info/naming.h"
#include "info/number_pattern.h"
#include "info/panel_rows.h"

namespace discstart {

namespace {

std::int16_t Int16(std::uint32_t value) {
    return static_cast<std::int16_t>(
        std::min<std::uint32_t>(value, std::numeric_limits<std::int16_t>::max()));
}

std::int32_t BytesPerSecond(std::uint64_t bitsPerSecond) {
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(bitsPerSecond / 8, std::numeric_limits<std::int32_t>::max()));
}

void WriteVideoRows(const ContainerInfo& film, std::optional<std::int64_t> fileLength,
                    const NumberFormat& format, PanelUpdate& update) {
    const TrackFacts& video = *film.video;
    auto& rows = update.rows;
    const VideoCodecLookup codec = ContainerVideoName(video);
    if (codec.xvidPicture) update.xvidPicture = true;
    rows[0] = DisplayLine(codec.name);
    if (const auto bits = ContainerVideoBitrate(film, fileLength))
        rows[1] = Patterned(*bits / 1024, Pattern::Kbits, format);
    if (video.width != 0 && video.height != 0) {
        rows[2] = std::to_string(video.width) + " x " + std::to_string(video.height);
    }
    if (video.framesPerSecond > 0) rows[3] = Patterned(video.framesPerSecond, Pattern::Decimal2, format);
}

void WriteAudioRows(const TrackFacts& audio, const PanelInput& input, PanelUpdate& update) {
    auto& rows = update.rows;
    rows[5] = DisplayLine(ContainerAudioName(audio));
    if (audio.bitrate != 0) rows[6] = AudioBitrateText(BytesPerSecond(audio.bitrate), input.steps);
    if (audio.channels != 0) rows[7] = ChannelCountText(Int16(audio.channels));
    if (audio.sampleRate != 0) rows[8] = Patterned(audio.sampleRate, Pattern::Hertz, input.format);
}

}  // namespace

std::optional<double> ContainerVideoBitrate(const ContainerInfo& film,
                                            std::optional<std::int64_t> fileLength) {
    if (!film.video) return std::nullopt;
    if (film.video->bitrate != 0) return double(film.video->bitrate);
    if (!fileLength || *fileLength <= 0 || !(film.durationSeconds > 0)) return std::nullopt;
    const double audio = film.audio ? double(film.audio->bitrate) : 0.0;
    const double video = double(*fileLength) * 8 / film.durationSeconds - audio;
    if (!(video > 0)) return std::nullopt;
    return video;
}

void WriteContainerRows(const ContainerInfo& film, std::optional<std::int64_t> fileLength,
                        const PanelInput& input, PanelUpdate& update) {
    const NumberFormat& format = input.format;
    if (film.video) WriteVideoRows(film, fileLength, format, update);
    if (film.audio) WriteAudioRows(*film.audio, input, update);
    if (fileLength) update.rows[9] = Patterned(double(*fileLength) / 1024 / 1024, Pattern::Megabytes, format);
    const double seconds = RoundHalfEven(film.durationSeconds);
    if (film.durationSeconds > 0 && seconds <= std::numeric_limits<std::int32_t>::max()) {
        update.rows[10] = LengthText(static_cast<std::int32_t>(seconds), format);
    }
}

}  // namespace discstart
