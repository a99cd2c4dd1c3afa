#include "cli/report.h"

#include <QJsonArray>

#include "cli/facts.h"
#include "content/native_name.h"
#include "content/page_text.h"
#include "text/control_escape.h"
#include "text/display_text.h"

namespace discstart {

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

// What the page may load, and apart from it what it refers to but may not, with the reason.
QJsonArray PageFilesJson(const std::vector<PageReference>& references, bool refused) {
    QJsonArray out;
    for (const PageReference& r : references) {
        if ((r.refusal != PageRefusal::None) != refused) continue;
        QJsonObject file{{"from", QtPath(r.from)},
                         {"reference", QtPath(r.reference)},
                         {"path", r.path.empty() ? QJsonValue() : QJsonValue(QtPath(r.path))}};
        if (refused) file.insert("reason", QString::fromLatin1(PageRefusalName(r.refusal)));
        out.append(file);
    }
    return out;
}

QJsonValue PathOrNull(const FileList& list, const std::string& path) {
    return list.ListCount() > 0 ? QJsonValue(QtPath(path)) : QJsonValue();
}

QString Escaped(const QString& text) {
    return QString::fromStdString(EscapeControlCharacters(text.toStdString()));
}

}  // namespace

DiscReport BuildReport(const std::string& path, bool isFolder, const NumberFormat& format,
                       const FileOpener& files, const std::string& page) {
    DiscReport report;
    report.path = path;
    std::string moviePath = path;
    if (isFolder) {
        report.disc = DiscoverContent(path);
        moviePath = report.disc->moviePath();
        report.moviePath = report.disc->movies.ListCount() > 0 ? moviePath : std::string();
    } else {
        report.moviePath = path;
    }
    PanelInput input;
    input.moviePath = moviePath;
    input.format = format;
    // The panel's own reads, watched for errors that a short read alone would hide.
    const CountingFiles watched(files);
    report.panel = RunPanel(
        input, {report.tags, report.avi, report.ogg, &report.container, &report.oggNumbers}, watched);
    report.readError = watched.counts().error;
    if (report.disc && (report.disc->pageButtonShown() || !page.empty())) {
        report.pageFiles = PageReferences(
            report.disc->directory, page.empty() ? report.disc->pages.List(0) : page, files, DecodePageBytes);
    }
    return report;
}

QJsonObject ReportJson(const DiscReport& report) {
    const PanelUpdate& panel = report.panel;
    QJsonArray rows;
    for (int i = 0; i < PanelRowCount; ++i) {
        rows.append(QJsonObject{{"caption", QString::fromLatin1(RowCaptions[i])},
                                {"value", Written(panel.rows[i])},
                                {"written", panel.rows[i].has_value()}});
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
        {"xvidPicture", panel.xvidPicture},
        {"version", QStringLiteral(DISCSTART_VERSION)},
        {"path", QtPath(report.path)},
        {"moviePath", report.moviePath.empty() ? QJsonValue() : QJsonValue(QtPath(report.moviePath))},
        {"facts", FactsJson(report)},
    };
    if (panel.kind == MovieFileKind::Avi) json.insert("avi", AviJson(report.avi));
    if (panel.kind == MovieFileKind::OggMedia) json.insert("ogg", OggJson(report.ogg));
    if (report.disc) {
        const DiscContent& disc = *report.disc;
        json.insert("disc", QJsonObject{{"titleStrip", disc.titleStrip()},
                                        {"playEnabled", disc.playEnabled()},
                                        {"picture", DisplayName(disc.pictures.List(0))},
                                        {"picturePath", PathOrNull(disc.pictures, disc.picturePath())},
                                        {"page", DisplayName(disc.pages.List(0))},
                                        {"pagePath", PathOrNull(disc.pages, disc.pagePath())},
                                        {"pictureNote", PictureNote(disc)},
                                        {"pageButton", disc.pageButtonShown()},
                                        {"pageFiles", PageFilesJson(report.pageFiles, false)},
                                        {"pageRefused", PageFilesJson(report.pageFiles, true)}});
    }
    return json;
}

QString ReportText(const DiscReport& report) {
    const PanelUpdate& panel = report.panel;
    QString out;
    const auto line = [&out](const QString& name, const QString& value) {
        out += QStringLiteral("%1 %2\n").arg(name + QLatin1Char(':'), -13).arg(Escaped(value));
    };
    line("Movie", report.moviePath.empty()
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
    if (panel.xvidPicture) line("Xvid picture", "shown");
    out += '\n';
    for (int i = 0; i < PanelRowCount; ++i) {
        if (RowCaptions[i][0] == '\0' && !panel.rows[i]) continue;
        out += QStringLiteral("  %1 %2\n")
                   .arg(QString::fromLatin1(RowCaptions[i]), -12)
                   .arg(Escaped(Written(panel.rows[i])));
    }
    return out;
}

}  // namespace discstart
