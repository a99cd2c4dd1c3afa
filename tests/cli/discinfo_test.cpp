#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <iterator>

#include "discinfo_run.h"

namespace discstart {

namespace {

Outcome DiscinfoIn(const QStringList& args, const QString& lang) {
    RunSetup setup;
    setup.lang = lang;
    return Discinfo(args, setup);
}

QJsonObject Json(const Outcome& run) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return doc.object();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(Discinfo, EmptyFolderShowsWhatAFreshWindowShows) {
    QTemporaryDir dir;
    const QJsonObject json = Json(Discinfo({"--json", dir.path()}));
    EXPECT_EQ(json["movie"].toString(), "");
    EXPECT_EQ(json["kind"].toString(), "Other");
    EXPECT_FALSE(json.contains("avi"));
    EXPECT_FALSE(json.contains("ogg"));
    const QJsonObject disc = json["disc"].toObject();
    EXPECT_EQ(disc["titleStrip"].toString(), " movie is not in the directory ");
    EXPECT_FALSE(disc["playEnabled"].toBool());
    EXPECT_FALSE(disc["pageButton"].toBool());
    EXPECT_EQ(disc["pictureNote"].toString(), "picture is not in the directory");
    const QJsonArray rows = json["rows"].toArray();
    ASSERT_EQ(rows.size(), 12);
    const char* captions[] = {"Video:",   "Bitrate:",  "Resolution:", "Fps:",      "",        "Audio:",
                              "Bitrate:", "Channels:", "Samplerate:", "Filesize:", "Length:", ""};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(rows[i].toObject()["caption"].toString(), captions[i]);
        EXPECT_EQ(rows[i].toObject()["value"].toString(), "");
    }
    for (const char* line : {"title", "author", "copyright", "genre"}) {
        EXPECT_EQ(json["lines"].toObject()[line].toString(), "") << line;
    }
}

TEST(Discinfo, FileThatIsNeitherAviNorOggChangesOnlyTheTitleLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("mpeg.avi");
    Write(path, QByteArray("\x00\x00\x01\xba", 4) + QByteArray(2000, '\x55'));
    const Outcome run = Discinfo({"--json", path});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject json = Json(run);
    EXPECT_EQ(json["movie"].toString(), QDir::toNativeSeparators(path));
    EXPECT_EQ(json["kind"].toString(), "Other");
    EXPECT_FALSE(json.contains("disc"));
    for (const QJsonValue& row : json["rows"].toArray()) EXPECT_EQ(row.toObject()["value"].toString(), "");
}

TEST(Discinfo, TextLayoutNamesTheMovieAndTheRows) {
    QTemporaryDir dir;
    Write(dir.filePath("Some Film.avi"), QByteArray(64, '\0'));
    const Outcome run = Discinfo({dir.path()});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QString text = QString::fromUtf8(run.out);
    EXPECT_TRUE(text.contains("\" Some Film \"")) << text.toStdString();
    EXPECT_TRUE(text.contains("Play button:  enabled")) << text.toStdString();
    EXPECT_TRUE(text.contains("Samplerate:")) << text.toStdString();
}

}  // namespace

namespace {

// Independent of the program's formatting: Qt's C-locale digits with the separators swapped in.
QString Fixed(double value, int decimals, bool german) {
    QString text = QString::number(value, 'f', decimals);
    QString whole = text.section('.', 0, 0);
    const QString fraction = text.section('.', 1);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, german ? '.' : ',');
    return fraction.isEmpty() ? whole : whole + (german ? ',' : '.') + fraction;
}

QJsonObject Expected() {
    QFile file(TEST_DATA_DIR "/expected.json");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString Row(const QJsonObject& json, int i) {
    return json["rows"].toArray()[i].toObject()["value"].toString();
}

void CheckAvi(const QJsonObject& json, const QJsonObject& facts, bool german) {
    const QJsonObject avi = json["avi"].toObject();
    const QJsonObject video = facts["video"].toObject();
    EXPECT_EQ(avi["riffSize"].toInt(), facts["size"].toInt() - 8);
    EXPECT_EQ(avi["videoCodec"].toString(), video["fourcc"].toString());
    EXPECT_EQ(avi["width"].toInt(), video["width"].toInt());
    EXPECT_EQ(avi["height"].toInt(), video["height"].toInt());
    EXPECT_EQ(avi["microSecPerFrame"].toInt(), video["microSecPerFrame"].toInt());
    EXPECT_EQ(avi["totalFrames"].toInt(), video["totalFrames"].toInt());
    EXPECT_EQ(Row(json, 2), QString("%1 x %2").arg(video["width"].toInt()).arg(video["height"].toInt()));
    EXPECT_EQ(Row(json, 3), Fixed(1e6 / video["microSecPerFrame"].toInt(), 2, german));
    EXPECT_EQ(Row(json, 9), Fixed((facts["size"].toInt() - 8) / 1048576.0, 2, german) + " MB");
    EXPECT_EQ(json["xvidPicture"].toBool(), video["fourcc"].toString() == "XVID");
    if (facts.contains("audio")) {
        const QJsonObject audio = facts["audio"].toObject();
        EXPECT_EQ(avi["audioFormatTag"].toInt(), audio["formatTag"].toInt());
        EXPECT_EQ(avi["audioChannels"].toInt(), audio["channels"].toInt());
        EXPECT_EQ(avi["audioSampleRate"].toInt(), audio["sampleRate"].toInt());
        EXPECT_EQ(avi["audioBytesPerSec"].toInt(), audio["bytesPerSec"].toInt());
        EXPECT_EQ(Row(json, 8), Fixed(audio["sampleRate"].toInt(), 0, german) + " Hz");
    }
    const QJsonObject tags = facts["tags"].toObject();
    const std::pair<const char*, const char*> names[] = {
        {"title", "title"}, {"author", "artist"},   {"copyright", "copyright"},
        {"genre", "genre"}, {"comment", "comment"}, {"language", "language"}};
    for (const auto& [ours, theirs] : names) {
        EXPECT_EQ(json["tags"].toObject()[ours].toString(), tags[theirs].toString()) << ours;
    }
    EXPECT_EQ(json["lines"].toObject()["title"].toString(), tags["title"].toString().left(26));
}

void CheckOgg(const QJsonObject& json, const QJsonObject& facts, bool german) {
    const QJsonObject ogg = json["ogg"].toObject();
    const QJsonObject video = facts["video"].toObject();
    const QJsonObject audio = facts["audio"].toObject();
    EXPECT_EQ(ogg["videoCodec"].toString(), video["fourcc"].toString());
    EXPECT_EQ(ogg["frameRateText"].toString(), Fixed(1e7 / video["timeUnit"].toInt(), 3, german));
    EXPECT_EQ(ogg["widthText"].toString(), QString::number(video["width"].toInt()));
    EXPECT_EQ(ogg["heightText"].toString(), QString::number(video["height"].toInt()));
    EXPECT_EQ(ogg["sampleRateText"].toString(), QString("%1 Hz").arg(audio["sampleRate"].toInt()));
    EXPECT_EQ(ogg["bitrateText"].toString(), Fixed(audio["nominalBitrate"].toInt() / 1000.0, 2, german));
    EXPECT_EQ(ogg["channelsText"].toString(), audio["channels"].toInt() == 1 ? "Mono" : "2 (stereo)");
    EXPECT_EQ(Row(json, 0), video["fourcc"].toString());
    EXPECT_EQ(Row(json, 5), "Ogg Vorbis");
    EXPECT_EQ(Row(json, 6), QString("%1 Kbit/s").arg(audio["nominalBitrate"].toInt() / 1000));
    EXPECT_EQ(Row(json, 9), " " + Fixed(facts["size"].toInt() / 1048576.0, 2, german) + " MB");
    EXPECT_EQ(Row(json, 1), "");
    EXPECT_EQ(Row(json, 10), "");
}

// What the five test films store, beside ffprobe's facts: the identifiers and the panel's names.
struct FilmCase {
    const char* file;
    const char* kind;
    const char* container;
    const char* videoCodec;
    const char* videoName;
    const char* audioCodec;
    const char* audioName;
    const char* channels;
};

const FilmCase Films[] = {
    {"mp4-h264-aac.mp4", "Mp4", "MP4", "avc1", "H.264/AVC", "mp4a", "AAC", "2 (stereo)"},
    {"mp4-h264-aac-end.mp4", "Mp4", "MP4", "avc1", "H.264/AVC", "mp4a", "AAC", "1 (mono)"},
    {"webm-vp9-opus.webm", "Matroska", "WebM", "V_VP9", "VP9", "A_OPUS", "Opus", "2 (stereo)"},
    {"mkv-h264-ac3-51.mkv", "Matroska", "Matroska", "V_MPEG4/ISO/AVC", "H.264/AVC", "A_AC3", "AC-3", "6"},
    {"mkv-xvid-mp3.mkv", "Matroska", "Matroska", "XVID", "Xvid MPEG-4", "A_MPEG/L3", "MP3", "2 (stereo)"},
};

void CheckFilm(const QJsonObject& json, const FilmCase& film, const QJsonObject& facts, bool german) {
    const QJsonObject given = json["facts"].toObject();
    const QJsonObject video = facts["video"].toObject();
    const QJsonObject audio = facts["audio"].toObject();
    EXPECT_EQ(json["kind"].toString(), film.kind);
    EXPECT_FALSE(json.contains("avi") || json.contains("ogg"));
    EXPECT_EQ(given["container"].toString(), film.container);
    EXPECT_EQ(given["videoCodec"].toString(), film.videoCodec);
    EXPECT_EQ(given["audioCodec"].toString(), film.audioCodec);
    EXPECT_EQ(given["width"].toInt(), video["width"].toInt());
    EXPECT_EQ(given["height"].toInt(), video["height"].toInt());
    const QStringList rate = video["frameRate"].toString().split('/');
    const double fps = rate[0].toDouble() / rate[1].toDouble();
    EXPECT_NEAR(given["fps"].toDouble(), fps, 0.01);
    EXPECT_NEAR(given["durationSeconds"].toDouble(), facts["duration"].toDouble(), 0.1);
    EXPECT_EQ(given["channels"].toInt(), audio["channels"].toInt());
    EXPECT_EQ(given["sampleRateHz"].toInt(), audio["sampleRate"].toInt());
    EXPECT_EQ(given["fileSizeBytes"].toInt(), facts["size"].toInt());
    EXPECT_EQ(Row(json, 0), film.videoName);
    EXPECT_EQ(Row(json, 2), QString("%1 x %2").arg(video["width"].toInt()).arg(video["height"].toInt()));
    EXPECT_EQ(Row(json, 3), Fixed(fps, 2, german));
    EXPECT_EQ(Row(json, 5), film.audioName);
    EXPECT_EQ(Row(json, 7), film.channels);
    EXPECT_EQ(Row(json, 8), Fixed(audio["sampleRate"].toInt(), 0, german) + " Hz");
    EXPECT_EQ(Row(json, 9), Fixed(facts["size"].toInt() / 1048576.0, 2, german) + " MB");
    EXPECT_EQ(Row(json, 10), " min 1 sec");
    EXPECT_EQ(json["xvidPicture"].toBool(), QString(film.videoName) == "Xvid MPEG-4");
    const QJsonObject tags = facts["tags"].toObject();
    for (const auto& [ours, theirs] : {std::pair{"title", "title"},
                                       {"author", "artist"},
                                       {"copyright", "copyright"},
                                       {"genre", "genre"}}) {
        EXPECT_EQ(json["tags"].toObject()[ours].toString(), tags[theirs].toString()) << ours;
    }
    EXPECT_EQ(json["lines"].toObject()["title"].toString(), tags["title"].toString().left(26));
}

TEST(Discinfo, AgreesWithAnIndependentReaderOnEveryTestFile) {
    const QJsonObject expected = Expected();
    ASSERT_FALSE(expected.isEmpty());
    for (const bool german : {false, true}) {
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            const QJsonObject facts = it.value().toObject();
            SCOPED_TRACE(it.key().toStdString() + (german ? " de_DE" : " en_US"));
            const Outcome run =
                DiscinfoIn({"--json", TEST_DATA_DIR "/" + it.key()}, german ? "de_DE.UTF-8" : "en_US.UTF-8");
            ASSERT_EQ(run.status, 0) << run.err.toStdString();
            const QJsonObject json = Json(run);
            const bool matchesLayout = facts["layout"].toObject()["mismatches"].toArray().isEmpty();
            const auto* film = std::find_if(std::begin(Films), std::end(Films),
                                            [&](const FilmCase& f) { return it.key() == f.file; });
            if (film != std::end(Films)) {
                CheckFilm(json, *film, facts, german);
            } else if (facts["container"].toString() == "avi") {
                EXPECT_EQ(json["kind"].toString(), "Avi");
                CheckAvi(json, facts, german);
            } else if (matchesLayout) {
                EXPECT_EQ(json["kind"].toString(), "OggMedia");
                CheckOgg(json, facts, german);
            } else {
                // Not Ogg media: the streams' own headers, never the fixed offsets.
                EXPECT_EQ(json["kind"].toString(), "Ogg");
                const QJsonObject audio = facts["audio"].toObject();
                EXPECT_EQ(json["facts"].toObject()["channels"].toInt(), audio["channels"].toInt());
                EXPECT_EQ(json["facts"].toObject()["sampleRateHz"].toInt(), audio["sampleRate"].toInt());
                EXPECT_EQ(Row(json, 5), "Vorbis");
            }
        }
    }
}

TEST(Discinfo, DemoDiscFolder) {
    const Outcome run = Discinfo({"--json", EXAMPLE_DISC_DIR});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject json = Json(run);
    const QJsonObject disc = json["disc"].toObject();
    EXPECT_EQ(disc["titleStrip"].toString(), " film ");
    EXPECT_TRUE(disc["playEnabled"].toBool());
    EXPECT_TRUE(disc["pageButton"].toBool());
    EXPECT_EQ(disc["picture"].toString(), "cover.jpg");
    EXPECT_EQ(disc["page"].toString(), "intro.htm");
    EXPECT_EQ(disc["pictureNote"].toString(), "");
    EXPECT_EQ(json["kind"].toString(), "Avi");
    EXPECT_NE(json["lines"].toObject()["title"].toString(), "");
}

// "discinfo ... | head -0" on either system: one line that says what happened, status 1.
TEST(Discinfo, AClosedPipeIsNamedOnce) {
    const QStringList cases[] = {
        {"--version"}, {"--help"}, {"--json", EXAMPLE_DISC_DIR}, {EXAMPLE_DISC_DIR, EXAMPLE_DISC_DIR}};
    for (const QStringList& args : cases) {
        RunSetup setup;
        setup.closedOutput = true;
        const Outcome run = Discinfo(args, setup);
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.trimmed().toStdString(), "discinfo: cannot write the output: Broken pipe");
        EXPECT_EQ(run.err.count('\n'), 1);
    }
}

}  // namespace

}  // namespace discstart
