#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <cmath>

#include "cli/facts.h"
#include "cli/report.h"
#include "support/ebml_bytes.h"
#include "support/iso_bytes.h"
#include "support/movie_bytes.h"

namespace discstart {

namespace {

std::string DataFile(const char* name) {
    QFile file(QString(TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

// The number a row starts with, its group separators dropped; nothing for a row not written.
std::optional<double> RowNumber(const std::optional<std::string>& row) {
    if (!row) return std::nullopt;
    const auto match = QRegularExpression("^\\s*(-?[0-9,]+(\\.[0-9]+)?)").match(QString::fromStdString(*row));
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1).remove(',').toDouble();
}

// "90 min 5 sec", " min 45 sec": the Length row's seconds.
std::optional<double> RowSeconds(const std::optional<std::string>& row) {
    if (!row) return std::nullopt;
    const auto match =
        QRegularExpression("^(-?[0-9]*) min (-?[0-9]*) sec$").match(QString::fromStdString(*row));
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1).toDouble() * 60 + match.captured(2).toDouble();
}

struct AgreeCase {
    std::string name;
    std::string path;
    std::string bytes;
    const char* container;
    double audioKbps;    // as the header stores it, in kilobits of 1000 bits; 0 for none
    int audioFormatTag;  // 0 for none
};

// The facts discinfo prints and the rows the window shows are one computation: per kind, each
// row that shows a number says what its fact says, in the row's own units (Kbit/s of 1024 bits,
// whole seconds). An AVI film's RIFF size claims 700 MB here while the file holds a few kB, and
// one film's running time is no whole number of seconds: a fact worked out apart would show.
TEST(Facts, AgreeWithThePanelRowsForEveryKind) {
    // The video's rate from the file's length, the audio's as stored.
    isobmff::MovieRecipe unstoredRate;
    unstoredRate.duration = 2'600;
    unstoredRate.tracks[1] =
        isobmff::SoundTrack(isobmff::SoundEntry("mp4a", 2, 48000, isobmff::Esds(0x40, 96'000)));
    isobmff::MovieRecipe videoOnly;
    videoOnly.tracks.resize(1);
    const std::vector<AgreeCase> cases = {
        {"avi", "/disc/film.avi", AviBytes({}), "AVI", 128, 85},
        {"avi, 45.2 s", "/disc/film.avi", AviBytes({.microSecPerFrame = 40'000, .totalFrames = 1'130}), "AVI",
         128, 85},
        {"avi from ffmpeg", "/disc/film.avi", DataFile("avi-xvid-mp3.avi"), "AVI", 64, 85},
        {"ogg media", "/disc/film.avi", OggBytes({.timeUnit = 417'083}), "Ogg media", 128, 0},
        {"standard ogg", "/disc/film.avi", DataFile("ogg-vorbis-only.avi"), "Ogg", 64, 0},
        {"mp4", "/disc/film.mp4", isobmff::MoovFirst(unstoredRate, 200'000), "MP4", 96, 0},
        {"mp4 without sound", "/disc/film.mp4", isobmff::MoovFirst(videoOnly, 200'000), "MP4", 0, 0},
        {"mp4 from ffmpeg, under an avi name", "/disc/film.avi", DataFile("mp4-h264-aac.mp4"), "MP4", 95.979,
         0},
        {"matroska", "/disc/film.mkv", ebml::BuildMatroska({}).whole(), "Matroska", 0, 0},
        {"webm from ffmpeg", "/disc/film.webm", DataFile("webm-vp9-opus.webm"), "WebM", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty());
        MemoryFiles files;
        files.add(c.path, c.bytes);
        const DiscReport report = BuildReport(c.path, false, NumberFormat::English(), files);
        const QJsonObject facts = FactsJson(report);
        const auto& rows = report.panel.rows;
        ASSERT_EQ(facts["container"].toString().toStdString(), c.container);
        EXPECT_EQ(facts["fileSizeBytes"].toInteger(), qint64(c.bytes.size()));

        const auto fact = [&](const char* key) {
            return facts[key].isNull() ? std::nullopt : std::optional<double>(facts[key].toDouble());
        };
        EXPECT_EQ(fact("audioBitrateKbps").value_or(0), c.audioKbps);
        EXPECT_EQ(facts["audioFormatTag"].toInt(), c.audioFormatTag);
        const auto video = fact("videoBitrateKbps");
        EXPECT_EQ(RowNumber(rows[1]).has_value(), video.has_value());
        if (video && rows[1]) {
            EXPECT_NEAR(*RowNumber(rows[1]), *video * 1000 / 1024, 0.5);
        }
        const auto fps = fact("fps");
        EXPECT_EQ(RowNumber(rows[3]).has_value(), fps.has_value());
        if (fps && rows[3]) {
            EXPECT_NEAR(*RowNumber(rows[3]), *fps, 0.005);
        }
        const auto seconds = fact("durationSeconds");
        EXPECT_EQ(RowSeconds(rows[10]).has_value(), seconds.has_value());
        if (seconds && rows[10]) {
            EXPECT_NEAR(*RowSeconds(rows[10]), *seconds, 0.5);
        }
        if (!facts["width"].isNull()) {
            EXPECT_EQ(rows[2], std::to_string(facts["width"].toInt()) + " x " +
                                   std::to_string(facts["height"].toInt()));
        }
        if (!facts["sampleRateHz"].isNull()) {
            EXPECT_EQ(RowNumber(rows[8]), facts["sampleRateHz"].toDouble());
        }
        // An AVI film counts its RIFF size; every other its file's length.
        const double size = c.container == std::string("AVI") ? report.avi.riffSize : double(c.bytes.size());
        EXPECT_NEAR(*RowNumber(rows[9]), size / 1024 / 1024, 0.005);
    }
}

}  // namespace

}  // namespace discstart
