#include "info/movie_facts.h"

#include <algorithm>
#include <limits>

#include "text/number_pattern.h"

namespace discstart {

namespace {

std::optional<std::int32_t> WholeSeconds(double seconds) {
    const double rounded = RoundHalfEven(seconds);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

MovieFacts ComputeMovieFacts(const AviHeaderInfo& avi, std::optional<std::int64_t> fileLength,
                             std::int32_t earlierLength) {
    MovieFacts facts;
    facts.kind = MovieFileKind::Avi;
    facts.fileLength = fileLength;
    // The RIFF chunk's size; for an OpenDML film, the whole file.
    facts.sizeBytes = avi.openDmlLength != 0 ? double(avi.openDmlLength) : double(avi.riffSize);
    facts.width = avi.width;
    facts.height = avi.height;
    facts.videoCodec = avi.videoCodec;
    facts.audioFormatTag = static_cast<std::uint16_t>(avi.audioFormatTag);
    facts.channels = avi.audioChannels;
    facts.sampleRate = avi.audioSampleRate;
    facts.audioBitsPerSecond = std::int64_t{avi.audioBytesPerSec} * 8;
    // Without a frame duration there is no frame rate, nor anything built on it.
    if (avi.microSecPerFrame == 0) return facts;
    const double fps = 1'000'000.0 / avi.microSecPerFrame;
    // An OpenDML film's main header counts the first RIFF chunk's frames only.
    const double frames = avi.openDmlFrames != 0 ? double(avi.openDmlFrames) : double(avi.totalFrames);
    facts.framesPerSecond = fps;
    facts.seconds = frames / fps;
    facts.wholeSeconds = WholeSeconds(*facts.seconds).value_or(earlierLength);
    // Over the whole seconds the Length row shows, as the Bitrate row always has counted it.
    if (*facts.wholeSeconds != 0) {
        facts.videoBitsPerSecond = (*facts.sizeBytes / *facts.wholeSeconds - avi.audioBytesPerSec) * 8;
    }
    return facts;
}

MovieFacts ComputeMovieFacts(const Ogg::OggStreamNumbers& ogg, std::optional<std::int64_t> fileLength) {
    MovieFacts facts;
    facts.kind = MovieFileKind::OggMedia;
    facts.fileLength = fileLength;
    if (fileLength) facts.sizeBytes = double(*fileLength);
    facts.videoCodec = ogg.videoCodec;
    if (ogg.timeUnit != 0) facts.framesPerSecond = 10'000'000.0 / ogg.timeUnit;
    facts.width = ogg.width;
    facts.height = ogg.height;
    facts.channels = ogg.channels;
    facts.sampleRate = ogg.sampleRate;
    facts.audioBitsPerSecond = ogg.nominalBitrate;
    return facts;
}

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

MovieFacts ComputeMovieFacts(MovieFileKind kind, const ContainerInfo& film,
                             std::optional<std::int64_t> fileLength) {
    MovieFacts facts;
    facts.kind = kind;
    facts.fileLength = fileLength;
    if (fileLength) facts.sizeBytes = double(*fileLength);
    facts.brand = film.brand;
    if (film.durationSeconds > 0) {
        facts.seconds = film.durationSeconds;
        facts.wholeSeconds = WholeSeconds(film.durationSeconds);
    }
    if (film.video) {
        const TrackFacts& video = *film.video;
        // An AVI codec in Matroska: its four-character code, as an AVI film gives it.
        facts.videoCodec = video.codecId == "V_MS/VFW/FOURCC" ? video.fourcc : video.codecId;
        facts.width = video.width;
        facts.height = video.height;
        if (video.framesPerSecond > 0) facts.framesPerSecond = video.framesPerSecond;
        facts.videoBitsPerSecond = ContainerVideoBitrate(film, fileLength);
    }
    if (film.audio) {
        const TrackFacts& audio = *film.audio;
        facts.audioCodec = audio.codecId;
        if (audio.codecId == "A_MS/ACM") facts.audioFormatTag = audio.formatTag;
        facts.channels = audio.channels;
        facts.sampleRate = audio.sampleRate;
        facts.audioBitsPerSecond = static_cast<std::int64_t>(
            std::min<std::uint64_t>(audio.bitrate, std::numeric_limits<std::int64_t>::max()));
    }
    return facts;
}

}  // namespace discstart
