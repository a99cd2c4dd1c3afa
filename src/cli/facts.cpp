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

const char* ContainerName(const MovieFacts& movie) {
    switch (movie.kind) {
        case MovieFileKind::Avi:
            return "AVI";
        case MovieFileKind::OggMedia:
            return "Ogg media";
        case MovieFileKind::Ogg:
            return "Ogg";
        case MovieFileKind::Mp4:
            return "MP4";
        case MovieFileKind::Matroska:
            return movie.brand == "webm" ? "WebM" : "Matroska";
        case MovieFileKind::Other:
            break;
    }
    return nullptr;
}

QJsonValue Positive(const std::optional<double>& value) {
    return value ? Positive(*value) : QJsonValue();
}

}  // namespace

QJsonObject FactsJson(const DiscReport& report) {
    const MovieFacts& movie = report.panel.facts;
    QJsonObject facts;
    const char* container = ContainerName(movie);
    facts["container"] = container ? QJsonValue(container) : QJsonValue();
    facts["fileSizeBytes"] = movie.fileLength ? QJsonValue(qint64(*movie.fileLength)) : QJsonValue();
    if (!container) {
        for (const char* key :
             {"durationSeconds", "fps", "width", "height", "videoBitrateKbps", "audioBitrateKbps", "channels",
              "sampleRateHz", "videoCodec", "audioCodec", "audioFormatTag"}) {
            facts[key] = QJsonValue();
        }
        return facts;
    }
    facts["durationSeconds"] = Positive(movie.seconds);
    facts["fps"] = Positive(movie.framesPerSecond);
    facts["width"] = Positive(double(movie.width));
    facts["height"] = Positive(double(movie.height));
    // Kilobits of 1000 bits, of the very rate the Bitrate rows count in kilobits of 1024.
    facts["videoBitrateKbps"] =
        movie.videoBitsPerSecond ? Positive(*movie.videoBitsPerSecond / 1000) : QJsonValue();
    facts["audioBitrateKbps"] = Positive(double(movie.audioBitsPerSecond) / 1000);
    facts["channels"] = Positive(double(movie.channels));
    facts["sampleRateHz"] = Positive(double(movie.sampleRate));
    facts["videoCodec"] = Code(movie.videoCodec);
    facts["audioCodec"] = Code(movie.audioCodec);
    facts["audioFormatTag"] = movie.audioFormatTag != 0 ? QJsonValue(movie.audioFormatTag) : QJsonValue();
    return facts;
}

}  // namespace discstart
