// The window as drawn: frame, cover in the hole, panel text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "app/controls/design_pixmap.h"
#include "app/controls/form_label.h"
#include "app/controls/picture_box.h"
#include "support/disc_folder.h"

namespace discstart {

namespace {

int Distance(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

// How many pixels of `area` differ from the same pixels of `under`.
int ChangedPixels(const QImage& shot, const QImage& under, QRect area) {
    int changed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Distance(shot.pixelColor(x, y), under.pixelColor(x, y)) > 60) ++changed;
    return changed;
}

QImage Shoot(Form1& form) {
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();  // the panel is filled by a queued call after the first show
    return form.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(Screenshot, FrameCoverAndTextAreDrawn) {
    const QImage frame = LoadDesignPixmap("frame.gif", 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    if (frame.isNull()) GTEST_SKIP() << "no frame picture in this build";
    DiscFolder own;
    own.add("film.avi", AviWithTitle("Night Train"));
    own.add("cover.jpg", JpegPicture(40, 60, Qt::red));
    const QString demo = QStringLiteral(DISCSTART_SOURCE_DIR "/examples/disc");
    QStringList discs = {own.path()};
    if (QDir(demo).exists()) discs << demo;
    for (const QString& disc : discs) {
        SCOPED_TRACE(disc.toStdString());
        [&] {
            auto started = StartForm(disc);
            Form1& form = *started->form;
            const Form1Ui& ui = Form1View(form).ui();
            const QImage shot = Shoot(form);
            ASSERT_EQ(shot.size(), QSize(465, 397));
            // The frame's opaque left border and bottom-right corner are the picture's own pixels.
            for (QPoint at : {QPoint(2, 200), QPoint(462, 394), QPoint(270, 300)})
                EXPECT_LE(Distance(shot.pixelColor(at), frame.pixelColor(at)), 8) << disc.toStdString();
            // The hole shows the cover as loaded.
            const QImage cover = ui.Image1->picture().toImage();
            ASSERT_FALSE(cover.isNull()) << disc.toStdString();
            const QPoint inHole(60, 100);
            const QPoint inCover((inHole - ui.Image1->pos()) * cover.devicePixelRatio());
            EXPECT_LE(Distance(shot.pixelColor(inHole), cover.pixelColor(inCover)), 40) << disc.toStdString();
            // Captions are drawn over the panel.
            EXPECT_GT(ChangedPixels(shot, frame, ui.lblY[0]->geometry()), 10) << disc.toStdString();
            EXPECT_GT(ChangedPixels(shot, frame, ui.Label3->geometry()), 10) << disc.toStdString();
        }();
    }
}

TEST(Screenshot, WithoutPictureTheHoleShowsTheButtonFaceAndTheNote) {
    DiscFolder empty;
    auto started = StartForm(empty.path());
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    const QImage shot = Shoot(form);
    const QColor face = form.palette().color(QPalette::Button);
    EXPECT_LE(Distance(shot.pixelColor(60, 100), face), 8);
    const QRect note = ui.Label2->geometry();
    int dark = 0;
    for (int x = note.left(); x <= note.right(); ++x)
        for (int y = note.top(); y <= note.bottom(); ++y)
            if (Distance(shot.pixelColor(x, y), face) > 100) ++dark;
    EXPECT_GT(dark, 20);
}

TEST(TagLine, TooWideKeepsItsBeginningWithAnEllipsis) {
    DiscFolder disc;
    auto started = StartForm(disc.path());
    Shoot(*started->form);
    FormLabel* line = started->view().ui().lblAuthor;
    const QString wide = "Author: WWWWWWWWWWWWWWWWWWWW";
    struct Case {
        QString caption;
        bool cut;
    } cases[] = {{"Author: Ada", false}, {wide, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        line->setCaption(c.caption);
        const QString shown = line->shownText();
        EXPECT_EQ(line->text(), c.caption);
        EXPECT_EQ(shown == c.caption, !c.cut);
        EXPECT_LE(line->fontMetrics().horizontalAdvance(shown), line->width());
        if (c.cut) {
            EXPECT_TRUE(shown.startsWith("Author: W"));
            EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
        }
        // Where the first letter is drawn: at the left edge when cut, else centred.
        const QImage drawn = line->grab().toImage();
        int firstInk = drawn.width();
        for (int x = 0; x < drawn.width() && firstInk == drawn.width(); ++x)
            for (int y = 0; y < drawn.height(); ++y)
                if (qGray(drawn.pixel(x, y)) > 200) firstInk = x;
        EXPECT_EQ(firstInk < 3, c.cut) << firstInk;
    }
}

}  // namespace discstart
