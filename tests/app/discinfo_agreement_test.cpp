// The window and discinfo answer from one panel: on every test film they must show the
// same rows, captions, tag lines and Xvid picture.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "controls/form_label.h"
#include "controls/picture_box.h"
#include "disc_folder.h"

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
    const QStringList films = data.entryList({"*.avi"}, QDir::Files);
    ASSERT_GE(films.size(), 8);
    for (const QString& film : films) {
        SCOPED_TRACE(film.toStdString());
        DiscFolder disc;
        QFile movie(data.filePath(film));
        ASSERT_TRUE(movie.open(QIODevice::ReadOnly));
        disc.add("film.avi", movie.readAll());
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        form.Form_Activate();
        const QJsonObject json = DiscinfoJson(disc.path());
        const QJsonArray rows = json["rows"].toArray();
        ASSERT_EQ(rows.size(), 12);
        for (int row = 0; row < 12; ++row) {
            EXPECT_EQ(Text(form.lbl[row]->text()), Text(rows[row].toObject()["value"].toString()))
                << "row " << row;
            EXPECT_EQ(Text(form.lblY[row]->text()), Text(rows[row].toObject()["caption"].toString()))
                << "row " << row;
        }
        const QJsonObject lines = json["lines"].toObject();
        EXPECT_EQ(Text(form.Label3->text()), Text(lines["title"].toString()));
        EXPECT_EQ(Text(form.lblAuthor->text()), Text(lines["author"].toString()));
        EXPECT_EQ(Text(form.lblCopyright->text()), Text(lines["copyright"].toString()));
        EXPECT_EQ(Text(form.Label4->text()), Text(lines["genre"].toString()));
        EXPECT_EQ(!form.Picture6->isHidden(), json["xvidPicture"].toBool());
        EXPECT_EQ(Text(form.Label1->text()), Text(json["disc"].toObject()["titleStrip"].toString()));
    }
}
