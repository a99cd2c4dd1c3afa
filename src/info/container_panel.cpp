#include <algorithm>
#include <cmath>
#include <limits>

#include "info/container_naming.h"
#include "info/naming.h"
#include "info/panel_rows.h"
#include "text/control_escape.h"
#include "text/display_text.h"
#include "text/number_pattern.h"

namespace discstart {

namespace {

std::int16_t Int16(std::int64_t value) {
    return static_cast<std::int16_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int16_t>::max()));
}

std::int32_t BytesPerSecond(std::int64_t bitsPerSecond) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(bitsPerSecond / 8, 0, std::numeric_limits<std::int32_t>::max()));
}

void WriteVideoRows(const TrackFacts& video, const MovieFacts& facts, const NumberFormat& format,
                    PanelUpdate& update) {
    auto& rows = update.rows;
    const VideoCodecLookup codec = ContainerVideoName(video);
    if (codec.xvidPicture) update.xvidPicture = true;
    rows[0] = DisplayLine(codec.name);
    if (facts.videoBitsPerSecond)
        rows[1] = Patterned(*facts.videoBitsPerSecond / 1024, Pattern::Kbits, format);
    if (facts.width != 0 && facts.height != 0) {
        rows[2] = std::to_string(facts.width) + " x " + std::to_string(facts.height);
    }
    if (facts.framesPerSecond) rows[3] = Patterned(*facts.framesPerSecond, Pattern::Decimal2, format);
}

void WriteAudioRows(const TrackFacts& audio, const MovieFacts& facts, const PanelInput& input,
                    PanelUpdate& update) {
    auto& rows = update.rows;
    rows[5] = DisplayLine(ContainerAudioName(audio));
    if (facts.audioBitsPerSecond != 0) {
        rows[6] = AudioBitrateText(BytesPerSecond(facts.audioBitsPerSecond), input.steps);
    }
    if (facts.channels != 0) rows[7] = ChannelCountText(Int16(facts.channels));
    if (facts.sampleRate != 0) rows[8] = Patterned(double(facts.sampleRate), Pattern::Hertz, input.format);
}

}  // namespace

void WriteContainerRows(const ContainerInfo& film, const MovieFacts& facts, const PanelInput& input,
                        PanelUpdate& update) {
    const NumberFormat& format = input.format;
    if (film.video) WriteVideoRows(*film.video, facts, format, update);
    if (film.audio) WriteAudioRows(*film.audio, facts, input, update);
    if (facts.sizeBytes)
        update.rows[9] = Patterned(*facts.sizeBytes / 1024 / 1024, Pattern::Megabytes, format);
    if (facts.wholeSeconds) update.rows[10] = LengthText(*facts.wholeSeconds, format);
}

}  // namespace discstart
