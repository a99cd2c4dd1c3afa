#include "cli/facts.h"

#include <cmath>

#include "cli/report.h"

namespace discstart {

namespace {

// A zero or a value that is not finite is a field the file left empty.
QJsonValue Positive(double value) {
    return std::isfinite(value) && value > 0 ? QJsonValue(value) : QJsonValue();
}

// Four bytes as read, one character each; null when the file holds none.
QJsonValue Code(const std::string& bytes) {
    if (bytes.find_first_not_of('\0') == std::string::npos) return {};
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

void AviFacts(const DiscReport& report, QJsonObject& facts) {
    const AviHeaderInfo& avi = report.avi;
    double seconds = 0;
    if (avi.microSecPerFrame > 0) {
        facts["fps"] = 1e6 / avi.microSecPerFrame;
        seconds = double(avi.totalFrames) * avi.microSecPerFrame / 1e6;
    }
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
    if (ogg.timeUnit > 0) facts["fps"] = 1e7 / ogg.timeUnit;
    facts["width"] = Positive(ogg.width);
    facts["height"] = Positive(ogg.height);
    facts["videoCodec"] = Code(ogg.videoCodec);
    facts["channels"] = Positive(ogg.channels);
    facts["sampleRateHz"] = Positive(ogg.sampleRate);
    facts["audioBitrateKbps"] = Positive(ogg.nominalBitrate / 1000.0);
}

}  // namespace

QJsonObject FactsJson(const DiscReport& report) {
    QJsonObject facts;
    for (const char* key : {"durationSeconds", "fps", "width", "height", "videoBitrateKbps",
                            "audioBitrateKbps", "channels", "sampleRateHz", "videoCodec", "audioFormatTag"}) {
        facts[key] = QJsonValue();
    }
    facts["fileSizeBytes"] = report.fileSize ? QJsonValue(qint64(*report.fileSize)) : QJsonValue();
    if (report.panel.kind == MovieFileKind::Avi) AviFacts(report, facts);
    if (report.panel.kind == MovieFileKind::OggMedia && report.oggNumbers)
        OggFacts(*report.oggNumbers, facts);
    return facts;
}

}  // namespace discstart
