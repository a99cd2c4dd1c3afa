#include "report.h"

#include <QJsonArray>

#include "display_text.h"
#include "native_name.h"

namespace {

QString Shown(const std::string& bytes) {
    return QString::fromStdString(DisplayText(bytes));
}
QString Written(const std::optional<std::string>& text) {
    return text ? QString::fromStdString(*text) : QString();
}

QJsonObject TagsJson(const MovieTags& tags) {
    return {{"title", Shown(tags.title)},         {"author", Shown(tags.author)},
            {"copyright", Shown(tags.copyright)}, {"language", Shown(tags.language)},
            {"software", Shown(tags.software)},   {"comment", Shown(tags.comment)},
            {"genre", Shown(tags.genre)}};
}

QJsonObject AviJson(const AviHeaderInfo& avi) {
    return {{"riffSize", avi.riffSize},
            {"microSecPerFrame", avi.microSecPerFrame},
            {"totalFrames", avi.totalFrames},
            {"width", avi.width},
            {"height", avi.height},
            {"videoCodec", Shown(avi.videoCodec)},
            {"audioFormatTag", avi.audioFormatTag},
            {"audioChannels", avi.audioChannels},
            {"audioSampleRate", avi.audioSampleRate},
            {"audioBytesPerSec", avi.audioBytesPerSec}};
}

QJsonObject OggJson(const OggStreamInfo& ogg) {
    return {{"videoCodec", Shown(ogg.videoCodec)},     {"frameRateText", Shown(ogg.frameRateText)},
            {"widthText", Shown(ogg.widthText)},       {"heightText", Shown(ogg.heightText)},
            {"channelsText", Shown(ogg.channelsText)}, {"sampleRateText", Shown(ogg.sampleRateText)},
            {"bitrateText", Shown(ogg.bitrateText)}};
}

QString PictureNote(const DiscContent& disc) {
    return disc.pictureNoteShown() ? QString::fromLatin1(NoPictureNote) : QString();
}

}  // namespace

DiscReport BuildReport(const QString& path, bool isFolder, const NumberFormat& format,
                       const FileOpener& files) {
    DiscReport report;
    QString moviePath = path;
    if (isFolder) {
        report.disc = DiscoverContent(path);
        moviePath = report.disc->moviePath();
        report.moviePath = report.disc->movies.ListCount() > 0 ? moviePath : QString();
    } else {
        report.moviePath = path;
    }
    PanelInput input;
    input.moviePath = NativePathBytes(moviePath).toStdString();
    input.format = format;
    report.panel = RunPanel(input, {report.tags, report.avi, report.ogg}, files);
    return report;
}

QJsonObject ReportJson(const DiscReport& report) {
    const PanelUpdate& panel = report.panel;
    QJsonArray rows;
    for (int i = 0; i < PanelRowCount; ++i) {
        rows.append(
            QJsonObject{{"caption", QString::fromLatin1(RowCaptions[i])}, {"value", Written(panel.rows[i])}});
    }
    QJsonObject json{
        {"movie", DisplayName(report.moviePath)},
        {"kind", KindName(panel.kind)},
        {"tags", TagsJson(report.tags)},
        {"lines", QJsonObject{{"title", Written(panel.titleLine)},
                              {"author", Written(panel.authorLine)},
                              {"copyright", Written(panel.copyrightLine)},
                              {"genre", Written(panel.genreLine)}}},
        {"rows", rows},
        {"xvidPicture", panel.showPicture6},
    };
    if (panel.kind == MovieFileKind::Avi) json.insert("avi", AviJson(report.avi));
    if (panel.kind == MovieFileKind::OggMedia) json.insert("ogg", OggJson(report.ogg));
    if (report.disc) {
        const DiscContent& disc = *report.disc;
        json.insert("disc", QJsonObject{{"titleStrip", disc.titleStrip()},
                                        {"playEnabled", disc.playEnabled()},
                                        {"picture", DisplayName(disc.pictures.List(0))},
                                        {"page", DisplayName(disc.pages.List(0))},
                                        {"pictureNote", PictureNote(disc)},
                                        {"pageButton", disc.pageButtonShown()}});
    }
    return json;
}

QString ReportText(const DiscReport& report) {
    const PanelUpdate& panel = report.panel;
    QString out;
    const auto line = [&out](const QString& name, const QString& value) {
        out += QStringLiteral("%1 %2\n").arg(name + QLatin1Char(':'), -13).arg(value);
    };
    line("Movie", report.moviePath.isEmpty()
                      ? QStringLiteral("(none)")
                      : DisplayName(report.moviePath) + " (" + KindName(panel.kind) + ")");
    if (report.disc) {
        const DiscContent& disc = *report.disc;
        line("Title strip", '"' + disc.titleStrip() + '"');
        line("Play button", disc.playEnabled() ? "enabled" : "disabled");
        line("Picture",
             disc.pictureNoteShown() ? '"' + PictureNote(disc) + '"' : DisplayName(disc.pictures.List(0)));
        line("Page",
             disc.pageButtonShown() ? DisplayName(disc.pages.List(0)) + " (page button shown)" : "(none)");
    }
    out += '\n';
    const std::pair<const char*, const std::optional<std::string>*> tagLines[] = {
        {"Title line", &panel.titleLine},
        {"Author line", &panel.authorLine},
        {"Copyright", &panel.copyrightLine},
        {"Genre line", &panel.genreLine}};
    for (const auto& [name, text] : tagLines) line(name, Written(*text));
    if (panel.showPicture6) line("Badge", "Xvid");
    out += '\n';
    for (int i = 0; i < PanelRowCount; ++i) {
        if (RowCaptions[i][0] == '\0' && !panel.rows[i]) continue;
        out += QStringLiteral("  %1 %2\n")
                   .arg(QString::fromLatin1(RowCaptions[i]), -12)
                   .arg(Written(panel.rows[i]));
    }
    return out;
}
