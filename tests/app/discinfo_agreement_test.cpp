// The window and discinfo answer from one panel: on every test film they must show the
// same rows, captions, tag lines and Xvid picture.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "app/controls/form_label.h"
#include "app/controls/picture_box.h"
#include "support/disc_folder.h"

namespace discstart {

namespace {

std::string Text(const QString& text) {
    return text.toStdString();
}

QJsonObject DiscinfoJson(const QString& folder) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LC_ALL");
    env.remove("LC_NUMERIC");
    env.insert("LANG", "en_US.UTF-8");
    process.setProcessEnvironment(env);
    process.start(DISCINFO_PATH, {"--json", folder});
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

}  // namespace

TEST(DiscinfoAgreement, EveryRowOfEveryTestFilm) {
    const QDir data(DISCSTART_SOURCE_DIR "/tests/data");
    const QStringList films = data.entryList({"*.avi", "*.mp4", "*.mkv", "*.webm"}, QDir::Files);
    ASSERT_GE(films.size(), 8);
    for (const QString& film : films) {
        SCOPED_TRACE(film.toStdString());
        [&] {
            DiscFolder disc;
            QFile movie(data.filePath(film));
            ASSERT_TRUE(movie.open(QIODevice::ReadOnly));
            disc.add("film." + QFileInfo(film).suffix(), movie.readAll());
            auto started = StartForm(disc.path());
            Form1& form = *started->form;
            const Form1Ui& ui = Form1View(form).ui();
            Form1View(form).Form_Activate();
            const QJsonObject json = DiscinfoJson(disc.path());
            const QJsonArray rows = json["rows"].toArray();
            ASSERT_EQ(rows.size(), 12);
            for (int row = 0; row < 12; ++row) {
                EXPECT_EQ(Text(ui.lbl[row]->text()), Text(rows[row].toObject()["value"].toString()))
                    << "row " << row;
                EXPECT_EQ(Text(ui.lblY[row]->text()), Text(rows[row].toObject()["caption"].toString()))
                    << "row " << row;
            }
            const QJsonObject lines = json["lines"].toObject();
            EXPECT_EQ(Text(ui.Label3->text()), Text(lines["title"].toString()));
            EXPECT_EQ(Text(ui.lblAuthor->text()), Text(lines["author"].toString()));
            EXPECT_EQ(Text(ui.lblCopyright->text()), Text(lines["copyright"].toString()));
            EXPECT_EQ(Text(ui.Label4->text()), Text(lines["genre"].toString()));
            EXPECT_EQ(!ui.Picture6->isHidden(), json["xvidPicture"].toBool());
            EXPECT_EQ(Text(ui.Label1->text()), Text(json["disc"].toObject()["titleStrip"].toString()));
        }();
    }
}

// The folder's choices (title strip, play, page button, picture note, which movie and page)
// come from one discovery, so the window and discinfo agree on every kind of folder.
TEST(DiscinfoAgreement, EveryChoiceOnAFolder) {
    struct Case {
        const char* what;
        QStringList files;
    } cases[] = {
        {.what = "empty", .files = {}},
        {.what = "movie only", .files = {"film.avi"}},
        {.what = "case-folded order", .files = {"b.avi", "A.avi", "c.AVI"}},
        {.what = "upper-case names", .files = {"FILM.AVI", "COVER.GIF", "INDEX.HTML"}},
        {.what = "page and picture, no movie", .files = {"cover.bmp", "page.htm"}},
        {.what = "long name", .files = {QString(70, 'n') + ".avi", "cover.jpg"}},
        {.what = "control character", .files = {"two\tparts.avi", "b.html", "a.htm"}},
        {.what = "films, no AVI", .files = {"b.mp4", "A.webm", "c.mkv"}},
        {.what = "an AVI beside films", .files = {"z.avi", "a.mp4", "b.M4V"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscFolder folder;
        for (const QString& name : c.files) folder.add(name);
        auto started = StartForm(folder.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        const QJsonObject json = DiscinfoJson(folder.path());
        const QJsonObject disc = json["disc"].toObject();
        EXPECT_EQ(Text(ui.Label1->text()), Text(disc["titleStrip"].toString()));
        EXPECT_EQ(ui.cmdPlay->isEnabled(), disc["playEnabled"].toBool());
        EXPECT_EQ(!ui.Picture1->isHidden(), disc["pageButton"].toBool());
        EXPECT_EQ(Text(ui.Label2->isHidden() ? QString() : ui.Label2->text()),
                  Text(disc["pictureNote"].toString()));
        // discinfo writes a path as the system does (on Windows, backslashes only).
        EXPECT_EQ(Text(QDir::toNativeSeparators(started->page->navigated)),
                  Text(disc["pagePath"].toString()));
        QTest::mouseClick(ui.cmdPlay, Qt::LeftButton);
        EXPECT_EQ(Text(QDir::toNativeSeparators(started->platform.opened.value(0))),
                  Text(json["moviePath"].toString()));
    }
}

}  // namespace discstart
