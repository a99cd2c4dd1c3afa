#include "cli/facts.h"

#include <cmath>

#include "cli/report.h"

namespace discstart {

namespace {

// A zero or a value that is not finite is a field the file left empty.
QJsonValue Positive(double value) {
    return std::isfinite(value) && value > 0 ? QJsonValue(value) : QJsonValue();
}

// An identifier as read, one character per byte; null when the file holds none.
QJsonValue Code(const std::string& bytes) {
    if (bytes.find_first_not_of('\0') == std::string::npos) return {};
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

void AviFacts(const DiscReport& report, QJsonObject& facts) {
    const AviHeaderInfo& avi = report.avi;
    double seconds = 0;
    if (avi.microSecPerFrame > 0) {
        facts["fps"] = 1e6 / avi.microSecPerFrame;
        const double frames = avi.openDmlFrames != 0 ? double(avi.openDmlFrames) : double(avi.totalFrames);
        seconds = frames * avi.microSecPerFrame / 1e6;
    }
    facts["container"] = "AVI";
    facts["durationSeconds"] = Positive(seconds);
    facts["width"] = Positive(avi.width);
    facts["height"] = Positive(avi.height);
    facts["videoCodec"] = Code(avi.videoCodec);
    facts["audioFormatTag"] =
        avi.audioFormatTag != 0 ? QJsonValue(std::uint16_t(avi.audioFormatTag)) : QJsonValue();
    facts["channels"] = Positive(avi.audioChannels);
    facts["sampleRateHz"] = Positive(avi.audioSampleRate);
    const double audioKbps = avi.audioBytesPerSec * 8.0 / 1000;
    facts["audioBitrateKbps"] = Positive(audioKbps);
    // What is left of the file's bytes per second once the audio is taken out, as the panel does.
    if (seconds > 0 && report.fileSize) {
        facts["videoBitrateKbps"] =
            Positive(double(*report.fileSize) * 8 / seconds / 1000 - std::max(audioKbps, 0.0));
    }
}

void OggFacts(const Ogg::OggStreamNumbers& ogg, QJsonObject& facts) {
    facts["container"] = "Ogg media";
    if (ogg.timeUnit > 0) facts["fps"] = 1e7 / ogg.timeUnit;
    facts["width"] = Positive(ogg.width);
    facts["height"] = Positive(ogg.height);
    facts["videoCodec"] = Code(ogg.videoCodec);
    facts["channels"] = Positive(ogg.channels);
    facts["sampleRateHz"] = Positive(ogg.sampleRate);
    facts["audioBitrateKbps"] = Positive(ogg.nominalBitrate / 1000.0);
}

void ContainerFacts(const DiscReport& report, QJsonObject& facts) {
    const ContainerInfo& film = report.container;
    const MovieFileKind kind = report.panel.kind;
    facts["container"] = kind == MovieFileKind::Mp4   ? "MP4"
                         : kind == MovieFileKind::Ogg ? "Ogg"
                         : film.brand == "webm"       ? "WebM"
                                                      : "Matroska";
    facts["durationSeconds"] = Positive(film.durationSeconds);
    if (film.video) {
        const TrackFacts& video = *film.video;
        facts["width"] = Positive(video.width);
        facts["height"] = Positive(video.height);
        facts["fps"] = Positive(video.framesPerSecond);
        // An AVI codec in Matroska: its four-character code, as an AVI answer gives it.
        facts["videoCodec"] = Code(video.codecId == "V_MS/VFW/FOURCC" ? video.fourcc : video.codecId);
        if (const auto bits = ContainerVideoBitrate(film, report.fileSize)) {
            facts["videoBitrateKbps"] = Positive(*bits / 1000);
        }
    }
    if (film.audio) {
        const TrackFacts& audio = *film.audio;
        facts["audioCodec"] = Code(audio.codecId);
        if (audio.codecId == "A_MS/ACM" && audio.formatTag != 0) facts["audioFormatTag"] = audio.formatTag;
        facts["channels"] = Positive(audio.channels);
        facts["sampleRateHz"] = Positive(audio.sampleRate);
        facts["audioBitrateKbps"] = Positive(double(audio.bitrate) / 1000);
    }
}

}  // namespace

QJsonObject FactsJson(const DiscReport& report) {
    QJsonObject facts;
    for (const char* key :
         {"container", "durationSeconds", "fps", "width", "height", "videoBitrateKbps", "audioBitrateKbps",
          "channels", "sampleRateHz", "videoCodec", "audioCodec", "audioFormatTag"}) {
        facts[key] = QJsonValue();
    }
    facts["fileSizeBytes"] = report.fileSize ? QJsonValue(qint64(*report.fileSize)) : QJsonValue();
    switch (report.panel.kind) {
        case MovieFileKind::Avi:
            AviFacts(report, facts);
            break;
        case MovieFileKind::OggMedia:
            OggFacts(report.oggNumbers, facts);
            break;
        case MovieFileKind::Ogg:
        case MovieFileKind::Mp4:
        case MovieFileKind::Matroska:
            ContainerFacts(report, facts);
            break;
        case MovieFileKind::Other:
            break;
    }
    return facts;
}

}  // namespace discstart
