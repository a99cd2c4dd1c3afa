// Form_Load and Form_Activate on disc folders of every kind.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include "app/controls/form_label.h"
#include "app/controls/limited_line_edit.h"
#include "app/controls/picture_box.h"
#include "app/twips.h"
#include "content/native_name.h"
#include "support/disc_folder.h"
#include "support/number_formats.h"

namespace discstart {

namespace {

// Notes each procedure as it starts.
class RecordingForm : public Form1 {
  public:
    using Form1::Form1;
    QStringList order;
    int panelRuns = 0;
    void labelY() override { order << "labelY", Form1::labelY(); }
    void labelX() override { order << "labelX", Form1::labelX(); }
    void DataIN() override { order << "DataIN", Form1::DataIN(); }
    void load_html() override { order << "load_html", Form1::load_html(); }
    void loadImage() override { order << "loadImage", Form1::loadImage(); }
    void label() override { ++panelRuns, Form1::label(); }
};

RecordingForm& Recording(StartedForm& started) {
    return static_cast<RecordingForm&>(*started.form);
}

}  // namespace

TEST(FormLoad, RunsItsStepsInOrderEvenOnAnEmptyFolder) {
    DiscFolder disc;
    auto started = StartForm<RecordingForm>(disc.path());
    EXPECT_EQ(Recording(*started).order,
              QStringList({"labelY", "labelX", "DataIN", "load_html", "loadImage"}));
    EXPECT_EQ(started->platform.calls.front(), "screenGeometry");
    EXPECT_EQ(started->platform.calls.back(), "keepOnTop");
    EXPECT_EQ(Recording(*started).panelRuns, 0);  // the panel waits for the window to show
}

TEST(FormLoad, CentresTheWindowAndKeepsItsSize) {
    struct Case {
        QRect screen;
        QPoint origin;
    } cases[] = {
        {{0, 0, 800, 600}, {TwipsToPixels(2512), TwipsToPixels(1522)}},  // 12000 x 9000 twips
        {{0, 0, 1024, 768}, {279, 185}},
        {{0, 0, 400, 300}, {TwipsToPixels(-487), TwipsToPixels(-727)}},  // smaller than the window
        {{1920, 0, 800, 600}, {1920 + TwipsToPixels(2512), TwipsToPixels(1522)}},
    };
    DiscFolder disc;
    for (const Case& c : cases) {
        auto started = StartForm(disc.path(), false);
        started->platform.screen = c.screen;
        started->form->Form_Load();
        EXPECT_EQ(started->form->pos(), c.origin) << c.screen.width();
        EXPECT_EQ(started->form->size(), QSize(465, 397));
    }
}

TEST(FormLoad, PlacesTheBrowserAndTheOverlayFaces) {
    DiscFolder disc;
    auto started = StartForm(disc.path());
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    EXPECT_EQ(QPoint(Form1::LeftOf(ui.WebBrowser1), Form1::TopOf(ui.WebBrowser1)), QPoint(135, 375));
    EXPECT_EQ(ui.Picture4->geometry(), ui.Picture1->geometry());
    EXPECT_EQ(ui.Picture5->geometry(), ui.Picture3->geometry());
    EXPECT_EQ(ui.WebBrowser1->size(), TwipsRect(0, 0, 6720, 5460).size());
}

TEST(FormLoad, BuildsTwelvePanelRowsWithTheirCaptions) {
    DiscFolder disc;
    auto started = StartForm(disc.path());
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    const QStringList captions = {"Video:",   "Bitrate:",  "Resolution:", "Fps:",      "",        "Audio:",
                                  "Bitrate:", "Channels:", "Samplerate:", "Filesize:", "Length:", ""};
    ASSERT_EQ(ui.lblY.size(), 12u);
    ASSERT_EQ(ui.lbl.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(ui.lblY[i]->text(), captions[i]) << i;
        EXPECT_EQ(ui.lbl[i]->text(), "") << i;
        EXPECT_EQ(Form1::TopOf(ui.lblY[i]), 2790 + 225 * i) << i;
        EXPECT_EQ(Form1::TopOf(ui.lbl[i]), 2790 + 225 * i) << i;
        EXPECT_EQ(ui.lblY[i]->x(), ui.lblY[0]->x());
        EXPECT_EQ(ui.lbl[i]->x(), ui.lbl[0]->x());
        EXPECT_FALSE(ui.lbl[i]->isHidden()) << i;
        EXPECT_EQ(ui.lbl[i]->objectName(), QStringLiteral("lbl_%1").arg(i));
        EXPECT_EQ(ui.lblY[i]->font(), ui.lblY[0]->font());
    }
}

TEST(DataIN, SetsTheWindowFromWhatTheFolderHolds) {
    struct Case {
        const char* what;
        QStringList files;
        QStringList directories;
        QString title;
        bool play;
        bool pageButton;
        bool note;
    } cases[] = {
        {"empty folder", {}, {}, " movie is not in the directory ", false, false, true},
        {"first of two, ignoring case", {"b.avi", "A.avi"}, {}, " A ", true, false, true},
        {"upper-case name", {"MOVIE.AVI"}, {}, " MOVIE ", true, false, true},
        {"70 characters", {QString(70, 'n') + ".avi"}, {}, " " + QString(63, 'n'), true, false, true},
        {"a folder is no movie", {}, {"x.avi"}, " movie is not in the directory ", false, false, true},
#ifndef _WIN32  // a dot file is hidden on Linux; Windows hides by attribute
        {"hidden file", {".hidden.avi"}, {}, " movie is not in the directory ", false, false, true},
#endif
        {"png is no picture",
         {"cover.png", "cover.jpeg"},
         {},
         " movie is not in the directory ",
         false,
         false,
         true},
        {"picture and page", {"film.avi", "cover.JPG", "page.HTM"}, {}, " film ", true, true, false},
        {"html page only", {"index.html"}, {}, " movie is not in the directory ", false, true, true},
        // A name cannot disguise itself in the strip nor in what a screen reader says of the window.
        {"reordering characters",
         {QString::fromUtf8("Trailer\u202E4pm.exe.mkv")},
         {},
         " Trailer4pm.exe ",
         true,
         false,
         true},
        {"isolates and zero widths",
         {QString::fromUtf8("\u2067a\u200Db\u2069.avi")},
         {},
         " ab ",
         true,
         false,
         true},
    };
    for (const Case& c : cases) {
        DiscFolder disc;
        for (const QString& name : c.files) disc.add(name);
        for (const QString& name : c.directories) disc.addDirectory(name);
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        EXPECT_EQ(ui.Label1->text(), c.title) << c.what;
        EXPECT_EQ(form.accessibleName(), c.title.trimmed()) << c.what;
        EXPECT_EQ(ui.cmdPlay->isEnabled(), c.play) << c.what;
        EXPECT_EQ(!ui.Picture1->isHidden(), c.pageButton) << c.what;
        EXPECT_EQ(!ui.Label2->isHidden(), c.note) << c.what;
        EXPECT_EQ(ui.Label2->text(), c.note ? "picture is not in the directory" : "") << c.what;
        EXPECT_EQ(ui.Label1->x(), TwipsToPixels(2610)) << c.what;
        EXPECT_EQ(Form1View(form).disc().pictures.pattern(), "*.jpg;*.bmp;*.gif");
        EXPECT_EQ(Form1View(form).disc().pages.pattern(), "*.htm;*.html");
    }
}

TEST(LoadImage, FillsTheCoverOnlyWithAPictureItCanRead) {
    const QByteArray jpeg = JpegPicture(100, 100, Qt::red);
    struct Case {
        const char* what;
        QString name;
        QByteArray bytes;
        bool shown;
    } cases[] = {
        {"no picture", {}, {}, false},
        {"empty jpg", "cover.jpg", {}, false},
        {"jpeg named gif", "cover.gif", jpeg, true},
        {"jpeg", "cover.jpg", jpeg, true},
        {"garbage", "cover.bmp", QByteArray("not a picture at all"), false},
    };
    for (const Case& c : cases) {
        DiscFolder disc;
        if (!c.name.isEmpty()) disc.add(c.name, c.bytes);
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        EXPECT_EQ(!ui.Image1->picture().isNull(), c.shown) << c.what;
        EXPECT_EQ(ui.Image1->geometry(), TwipsRect(140, 380, 3825, 5460)) << c.what;
        if (c.shown) {
            const QImage image = ui.Image1->picture().toImage();
            EXPECT_EQ(image.size() / image.devicePixelRatio(), QSize(255, 364)) << c.what;
        }
        EXPECT_EQ(!ui.Label2->isHidden(), c.name.isEmpty()) << c.what;
    }
}

TEST(LoadHtml, FollowsThePathRule) {
    const QString separator = QDir::separator();
    const QString root = QDir::toNativeSeparators(QDir::rootPath());  // "/" or "C:\"
    const QString folder = root + "disc" + separator + "film";
    struct Case {
        QString directory;
        QString page;
        QStringList calls;
        QString navigated;
    } cases[] = {
        {folder, "intro.htm", {"offline", "designModeOff", "navigate"}, folder + separator + "intro.htm"},
        {root, "intro.htm", {"navigate"}, root + "intro.htm"},
        {folder, "", {"offline", "designModeOff"}, ""},
        {root, "", {}, ""},
    };
    for (const Case& c : cases) {
        auto started = StartForm(c.directory, false);
        // The page name as DataIN would have found it in c.directory.
        DiscFolder disc;
        if (!c.page.isEmpty()) disc.add(c.page);
        DiscContent found = DiscoverContent(SystemPath(disc.path()));
        found.directory = SystemPath(c.directory);
        started->view().load_html(found);
        EXPECT_EQ(started->page->calls, c.calls) << c.directory.toStdString();
        EXPECT_EQ(started->page->navigated, c.navigated) << c.directory.toStdString();
    }
}

TEST(FormActivate, FillsThePanelOnceAfterTheWindowShows) {
    DiscFolder disc;
    disc.add("film.avi", AviWithTitle("Night Train"));
    auto started = StartForm<RecordingForm>(disc.path());
    RecordingForm& form = Recording(*started);
    const Form1Ui& ui = Form1View(form).ui();
    form.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.panelRuns == 1; }));
    Form1View(form).Form_Activate();
    QApplication::setActiveWindow(&form);
    QTest::qWait(20);
    EXPECT_EQ(form.panelRuns, 1);
    EXPECT_EQ(ui.Label3->text(), "Night Train");
    EXPECT_EQ(form.focusWidget(), ui.cmdPlay);
}

TEST(FormActivate, TitleMovesTheFocusOnlyWhenItChanges) {
    struct Case {
        QByteArray title;
        bool focusMoves;
    } cases[] = {{"Night Train", true}, {"", false}};
    for (const Case& c : cases) {
        DiscFolder disc;
        disc.add("film.avi", AviWithTitle(c.title));
        disc.add("page.htm", "<p>hello</p>");
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        ui.Picture2->setFocus();
        Form1View(form).Form_Activate();
        EXPECT_EQ(form.focusWidget() == ui.cmdPlay, c.focusMoves) << c.title.constData();
    }
}

TEST(FormActivate, CutsTheTitleLineInItsHoldingBox) {
    DiscFolder disc;
    disc.add("film.avi", AviWithTitle(QByteArray(30, 't')));
    auto started = StartForm(disc.path());
    started->view().Form_Activate();
    EXPECT_EQ(started->view().ui().Text1->text(), QString(26, 't'));
    EXPECT_EQ(started->view().ui().Label3->text(), QString(26, 't'));
}

TEST(FormActivate, CopiesThePanelIntoItsRowsAndTagLines) {
    struct Case {
        const char* movie;
        Qt::CheckState steps;  // only a plain tick selects the standard steps
        NumberFormat format;
        QStringList rows;
        QStringList tagLines;
    } cases[] = {
        {"avi-xvid-mp3.avi",
         Qt::Checked,
         NumberFormat::English(),
         {"Xvid MPEG-4", "131 Kbit/s", "64 x 48", "25.00", "", "MPEG-1 Layer 3", "64 Kbit/s", "2 (stereo)",
          "44,100 Hz", "0.02 MB", " min 1 sec", ""},
         {"", "", "", ""}},
        {"avi-xvid-mp3.avi",
         Qt::PartiallyChecked,
         GermanNumbers(),
         {"Xvid MPEG-4", "131 Kbit/s", "64 x 48", "25,00", "", "MPEG-1 Layer 3", "62 Kbit/s", "2 (stereo)",
          "44.100 Hz", "0,02 MB", " min 1 sec", ""},
         {"", "", "", ""}},
        {"avi-tags.avi",
         Qt::Checked,
         NumberFormat::English(),
         {"Xvid MPEG-4", "128 Kbit/s", "64 x 48", "25.00", "", "MPEG-1 Layer 3", "31 Kbit/s", "1 (mono)",
          "32,000 Hz", "0.02 MB", " min 1 sec", ""},
         {"Harbour Lights", "Author: Ada Korhonen", "Copyright: (c) 2026 Saltmars", "Genre: Drama"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.movie);
        [&] {
            DiscFolder disc;
            QFile movie(QStringLiteral(DISCSTART_SOURCE_DIR "/tests/data/") + c.movie);
            ASSERT_TRUE(movie.open(QIODevice::ReadOnly)) << c.movie;
            disc.add("film.avi", movie.readAll());
            auto started = StartForm(disc.path());
            Form1& form = *started->form;
            const Form1Ui& ui = Form1View(form).ui();
            started->platform.format = c.format;
            ui.chkRB->setCheckState(c.steps);
            Form1View(form).Form_Activate();
            for (int row = 0; row < 12; ++row)
                EXPECT_EQ(ui.lbl[row]->text().toStdString(), c.rows[row].toStdString())
                    << c.movie << " row " << row;
            const FormLabel* lines[] = {ui.Label3, ui.lblAuthor, ui.lblCopyright, ui.Label4};
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(lines[i]->text().toStdString(), c.tagLines[i].toStdString()) << c.movie;
            EXPECT_FALSE(ui.Picture6->isHidden()) << c.movie;
        }();
    }
}

}  // namespace discstart
