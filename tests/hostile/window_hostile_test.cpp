// The real window on disc folders holding what no disc should: it must open, fill what it
// can, play what it found and close, never crash and never show a message box.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <stdexcept>

#include "app/controls/form_label.h"
#include "app/controls/picture_box.h"
#include "awkward_names.h"
#include "content/native_name.h"
#include "message_box.h"
#include "page/page_view.h"
#include "run_discinfo.h"
#include "support/disc_folder.h"

namespace discstart {

namespace {

QByteArray Bytes(const QString& path) {
    return QFile::encodeName(path);
}

void MakeFile(const QByteArray& path, const QByteArray& content) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, content.constData(), content.size()), content.size());
    ::close(fd);
}

using Setup = void (*)(const QByteArray& base);  // base ends in "/"

struct BadFolderCase {
    const char* what;
    Setup setup;
    bool moviePlays;  // a movie was found, so play is enabled
    bool pictureNote;
};

const std::vector<BadFolderCase> BadFolders = {
    {"folder named film.avi", [](const QByteArray& b) { ASSERT_EQ(::mkdir(b + "film.avi", 0700), 0); }, false,
     true},
    {"fifo named film.avi", [](const QByteArray& b) { ASSERT_EQ(::mkfifo(b + "film.avi", 0600), 0); }, false,
     true},
    {"broken link named film.avi",
     [](const QByteArray& b) { ASSERT_EQ(::symlink("gone.avi", b + "film.avi"), 0); }, false, true},
    {"link loop named film.avi",
     [](const QByteArray& b) { ASSERT_EQ(::symlink("film.avi", b + "film.avi"), 0); }, false, true},
    {"empty film.avi", [](const QByteArray& b) { MakeFile(b + "film.avi", ""); }, true, true},
    {"text named cover.jpg",
     [](const QByteArray& b) {
         MakeFile(b + "film.avi", AviWithTitle("Film"));
         MakeFile(b + "cover.jpg", "not a picture");
     },
     true, false},
    {"fifo named cover.jpg and intro.htm",
     [](const QByteArray& b) {
         MakeFile(b + "film.avi", AviWithTitle("Film"));
         ASSERT_EQ(::mkfifo(b + "cover.jpg", 0600), 0);
         ASSERT_EQ(::mkfifo(b + "intro.htm", 0600), 0);
     },
     true, true},
    {"gif claiming 65535 x 65535",
     [](const QByteArray& b) {
         MakeFile(b + "film.avi", AviWithTitle("Film"));
         MakeFile(b + "cover.gif", QByteArray("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00", 13));
     },
     true, false},
};

TEST(HostileWindow, BadThingsInTheDiscFolder) {
    for (const BadFolderCase& c : BadFolders) {
        DiscFolder disc;
        c.setup(Bytes(disc.path()) + '/');
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        form.show();
        Form1View(form).Form_Activate();
        EXPECT_EQ(ui.cmdPlay->isEnabled(), c.moviePlays) << c.what;
        EXPECT_EQ(ui.Label1->text() == " movie is not in the directory ", !c.moviePlays) << c.what;
        EXPECT_EQ(!ui.Label2->isHidden(), c.pictureNote) << c.what;
        EXPECT_TRUE(ui.Image1->picture().isNull()) << c.what;
        EXPECT_FALSE(MessageBoxShown()) << c.what;
        form.close();

        const DiscinfoRun run = RunDiscinfo({Bytes(disc.path())});
        EXPECT_FALSE(run.timedOut) << c.what;
        EXPECT_EQ(run.status, 0) << c.what << ": " << run.err.constData();
        EXPECT_EQ(run.out.contains("(page button shown)"), false) << c.what;
    }
}

// The disc changes under the window: the movie goes between Form_Load and Form_Activate.
TEST(HostileWindow, MovieRemovedBeforeThePanelRuns) {
    DiscFolder disc;
    disc.add("film.avi", AviWithTitle("Film"));
    auto started = StartForm(disc.path());
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    QStringList rowsBefore;
    for (FormLabel* row : ui.lbl) rowsBefore << row->text();
    ASSERT_TRUE(QFile::remove(QDir(disc.path()).filePath("film.avi")));
    Form1View(form).movieTags() = MovieTags{};
    Form1View(form).movieTags().title = "Earlier";
    form.show();
    Form1View(form).Form_Activate();
    // An unopenable file leaves the tags as they were; the title line is written from them.
    EXPECT_EQ(ui.Label3->text(), "Earlier");
    QStringList rowsAfter;
    for (FormLabel* row : ui.lbl) rowsAfter << row->text();
    EXPECT_EQ(rowsAfter, rowsBefore);
    EXPECT_TRUE(ui.cmdPlay->isEnabled());
    QTest::mouseClick(ui.cmdPlay, Qt::LeftButton);
    EXPECT_EQ(started->platform.opened.size(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(MessageBoxShown());
}

// Each window reads into records of its own: a second window whose movie went away shows
// nothing of the first one's tags.
TEST(HostileWindow, ASecondWindowKeepsNoTagsOfTheFirst) {
    DiscFolder first;
    first.add("film.avi", AviWithTitle("First Film"));
    auto one = StartForm(first.path());
    one->view().Form_Activate();
    ASSERT_EQ(one->view().ui().Label3->text(), "First Film");
    DiscFolder second;
    second.add("film.avi", AviWithTitle("Second Film"));
    auto two = StartForm(second.path());
    ASSERT_TRUE(QFile::remove(QDir(second.path()).filePath("film.avi")));
    two->view().Form_Activate();
    EXPECT_EQ(two->view().ui().Label3->text(), "");
}

// The page and the picture go between discovery and loading.
class VanishingForm : public Form1 {
  public:
    using Form1::Form1;
    QString folder;
    void load_html() override {
        QFile::remove(QDir(folder).filePath("intro.htm"));
        Form1::load_html();
    }
    void loadImage() override {
        QFile::remove(QDir(folder).filePath("cover.jpg"));
        Form1::loadImage();
    }
};

TEST(HostileWindow, PageAndPictureVanishBeforeTheyLoad) {
    DiscFolder disc;
    disc.add("film.avi", AviWithTitle("Film"));
    disc.add("intro.htm", "<p>hello</p>");
    disc.add("cover.jpg", JpegPicture(20, 20, Qt::red));
    FakePlatform platform;
    platform.directory = disc.path();
    VanishingForm form(platform, [](QWidget* parent) { return CreatePageView(PageEngine::Text, parent); });
    const Form1Ui& ui = Form1View(form).ui();
    form.folder = disc.path();
    form.Form_Load();
    WaitForCover(form);
    form.show();
    Form1View(form).Form_Activate();
    EXPECT_TRUE(ui.Image1->picture().isNull());
    EXPECT_TRUE(form.findChild<QTextBrowser*>()->toPlainText().isEmpty());
    EXPECT_EQ(ui.Label3->text(), "Film");
    EXPECT_FALSE(MessageBoxShown());
}

class FailingPlatform : public FakePlatform {
  public:
    bool throws = false;
    bool openWithAssociatedApplication(const QString& path, QWidget* owner) override {
        FakePlatform::openWithAssociatedApplication(path, owner);
        if (throws) throw std::runtime_error("no opener");
        return false;
    }
};

TEST(HostileWindow, PlayKeepsTheWindowWhenTheOpenerFails) {
    for (const bool throws : {false, true}) {
        DiscFolder disc;
        disc.add("film.avi", AviWithTitle("Film"));
        FailingPlatform platform;
        platform.throws = throws;
        platform.directory = disc.path();
        Form1 form(platform, [](QWidget* parent) { return new FakePageView(parent); });
        const Form1Ui& ui = Form1View(form).ui();
        form.Form_Load();
        form.show();
        QTest::mouseClick(ui.cmdPlay, Qt::LeftButton);
        EXPECT_EQ(platform.opened, QStringList{QDir(disc.path()).filePath("film.avi")}) << throws;
        EXPECT_TRUE(form.isVisible()) << throws;
        EXPECT_FALSE(MessageBoxShown()) << throws;
    }
}

// Whatever the name, the panel reads that file and play hands over exactly its bytes.
TEST(HostileWindow, AwkwardMovieNamesAreReadAndPlayedExactly) {
    for (const AwkwardName& name : AwkwardNames()) {
        DiscFolder disc;
        const QByteArray folder = Bytes(disc.path());
        MakeFile(folder + '/' + name.bytes, AviWithTitle("Film"));
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        form.show();
        Form1View(form).Form_Activate();
        EXPECT_EQ(ui.Label3->text(), "Film") << name.label;
        const QString strip = ui.Label1->text();
        EXPECT_TRUE(strip.startsWith(' ')) << name.label;
        EXPECT_EQ(strip.toUtf8(), NativePathBytes(strip)) << name.label << ": the strip shows escapes";
        QTest::mouseClick(ui.cmdPlay, Qt::LeftButton);
        ASSERT_EQ(started->platform.opened.size(), 1) << name.label;
        EXPECT_EQ(NativePathBytes(started->platform.opened.front()), folder + '/' + name.bytes) << name.label;
        EXPECT_FALSE(form.isVisible()) << name.label;
        ::unlink(folder + '/' + name.bytes);  // QTemporaryDir can't name it to remove it
    }
}

TEST(HostileWindow, NamesThatAreNotUtf8AreShownAsWindows1252) {
    DiscFolder disc;
    const QByteArray base = Bytes(disc.path()) + '/';
    const QByteArray names[] = {
        "Caf\xE9 \x93"
        "cr\xE8me\x94.avi",
        "p\xE2ge.htm", "c\xF4ver.jpg"};
    MakeFile(base + names[0], AviWithTitle("Film"));
    MakeFile(base + names[1], "<p>Bienvenue</p>");
    MakeFile(base + names[2], JpegPicture(20, 20, Qt::blue));
    FakePlatform platform;
    platform.directory = disc.path();
    Form1 form(platform, [](QWidget* parent) { return CreatePageView(PageEngine::Text, parent); });
    const Form1Ui& ui = Form1View(form).ui();
    form.Form_Load();
    WaitForCover(form);
    EXPECT_EQ(ui.Label1->text(), QStringLiteral(" Café \x201C"
                                                "crème\x201D "));
    EXPECT_FALSE(ui.Image1->picture().isNull());
    EXPECT_FALSE(ui.Picture1->isHidden());
    form.show();  // the page is read once the window is on screen
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return form.findChild<QTextBrowser*>()->toPlainText() == "Bienvenue"; }));
    for (const QByteArray& name : names) ::unlink(base + name);
}

}  // namespace

}  // namespace discstart
