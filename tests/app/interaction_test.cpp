// Dragging, closing, Alt+F4, the page toggle and the play command.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include "app/controls/form_label.h"
#include "app/controls/picture_box.h"
#include "app/module1.h"
#include "support/disc_folder.h"

namespace discstart {

namespace {

using Handler = void (Form1View::*)(int);

struct Surface {
    const char* name;
    Handler handler;
};

const Surface DragSurfaces[] = {
    {"Form", &Form1View::Form_MouseDown},         {"Image1", &Form1View::Image1_MouseDown},
    {"Label1", &Form1View::Label1_MouseDown},     {"Picture2", &Form1View::Picture2_MouseDown},
    {"Picture6", &Form1View::Picture6_MouseDown},
};

std::unique_ptr<StartedForm> StartOnDisc(DiscFolder& disc) {
    disc.add("film.avi", AviWithTitle("Title"));
    disc.add("intro.htm", "<p>page</p>");
    auto started = StartForm(disc.path());
    started->form->show();
    return started;
}

}  // namespace

TEST(WindowDrag, StartsForEveryMaskWithTheLeftBit) {
    DiscFolder disc;
    auto started = StartOnDisc(disc);
    Form1View view = started->view();
    for (const Surface& surface : DragSurfaces) {
        for (int mask = 0; mask < 8; ++mask) {
            started->platform.drags = 0;
            (view.*surface.handler)(mask);
            EXPECT_EQ(started->platform.drags, mask & 1) << surface.name << " mask " << mask;
        }
    }
    EXPECT_EQ(started->platform.ends, 0);
}

TEST(WindowDrag, ComesFromPressesOnTheDragSurfacesOnly) {
    DiscFolder disc;
    auto started = StartOnDisc(disc);
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    ui.Picture6->setVisible(true);
    // One press a line.
    // clang-format off
    struct Case {
        QWidget* target;
        QPoint at;
        Qt::MouseButton button;
        int drags;
    } cases[] = {
        {&form, QPoint(3, 200), Qt::LeftButton, 1},  // the frame's left border
        {&form, QPoint(3, 200), Qt::RightButton, 0},
        {ui.Picture2, QPoint(40, 10), Qt::LeftButton, 1},
        {ui.Picture2, QPoint(40, 10), Qt::MiddleButton, 0},
        {ui.Label1, QPoint(2, 2), Qt::LeftButton, 1},
        {ui.Image1, QPoint(20, 20), Qt::LeftButton, 1},
        {ui.Picture6, QPoint(5, 5), Qt::LeftButton, 1},
        {ui.Label3, QPoint(5, 5), Qt::LeftButton, 0},  // other labels keep the press
        {ui.lbl[3], QPoint(5, 5), Qt::LeftButton, 0},
        {ui.lblY[0], QPoint(5, 5), Qt::LeftButton, 0},
        {ui.Picture1, QPoint(5, 5), Qt::LeftButton, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        started->platform.drags = 0;
        QTest::mousePress(c.target, c.button, {}, c.at);
        QTest::mouseRelease(c.target, c.button, {}, c.at);
        EXPECT_EQ(started->platform.drags, c.drags)
            << c.target->objectName().toStdString() << " " << c.button;
    }
}

TEST(CloseButton, LeftPressShowsThePressedFaceAndReleaseEnds) {
    struct Case {
        int down;
        int up;
        bool pressedFace;
        int ends;
    } cases[] = {
        {1, 1, true, 1},  {2, 2, false, 0}, {4, 4, false, 0}, {3, 3, false, 0},
        {5, 5, false, 0}, {0, 0, false, 0}, {1, 2, true, 0},
    };
    DiscFolder disc;
    for (const Case& c : cases) {
        auto started = StartOnDisc(disc);
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        Form1View(form).Picture3_MouseDown(c.down);
        EXPECT_EQ(!ui.Picture5->isHidden(), c.pressedFace) << c.down;
        Form1View(form).Picture3_MouseUp(c.up);
        EXPECT_EQ(started->platform.ends, c.ends) << c.down << "/" << c.up;
        if (c.ends) {
            EXPECT_TRUE(ui.Picture5->isHidden());
        }
        EXPECT_EQ(started->platform.drags, 0);
    }
}

TEST(CloseButton, ReleaseOffTheButtonStillEnds) {
    DiscFolder disc;
    auto started = StartOnDisc(disc);
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    QTest::mousePress(ui.Picture3, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(ui.Picture5->isHidden());
    QTest::mouseRelease(ui.Picture3, Qt::LeftButton, {}, QPoint(200, 150));
    EXPECT_EQ(started->platform.ends, 1);
    QTest::mousePress(ui.Picture3, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(ui.Picture3, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(started->platform.ends, 1);
}

TEST(AltF4, EndsFromAnyControlWithTheAltBitOnly) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int ends;
    } cases[] = {
        {Qt::Key_F4, Qt::AltModifier, 1},
        {Qt::Key_F4, Qt::AltModifier | Qt::ShiftModifier, 1},
        {Qt::Key_F4, Qt::AltModifier | Qt::ControlModifier, 1},
        {Qt::Key_F4, Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier, 1},
        {Qt::Key_F4, Qt::NoModifier, 0},
        {Qt::Key_F4, Qt::ControlModifier, 0},
        {Qt::Key_F4, Qt::ShiftModifier, 0},
        {Qt::Key_F3, Qt::AltModifier, 0},
        {Qt::Key_X, Qt::AltModifier, 0},
    };
    DiscFolder disc;
    auto started = StartOnDisc(disc);
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    // The page is shown: it can hold the focus too.
    QTest::mouseClick(ui.Picture1, Qt::LeftButton, {}, QPoint(5, 5));
    QWidget* focusHolders[] = {ui.cmdPlay, ui.Picture2, ui.WebBrowser1};
    for (QWidget* holder : focusHolders) {
        for (const Case& c : cases) {
            started->platform.ends = 0;
            holder->setFocus();
            QTest::keyClick(holder, c.key, c.modifiers);
            EXPECT_EQ(started->platform.ends, c.ends)
                << holder->objectName().toStdString() << " key " << c.key << " mods " << c.modifiers;
        }
    }
}

TEST(PageToggle, ShowsAndHidesThePageWithItsFace) {
    DiscFolder disc;
    auto started = StartOnDisc(disc);
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    ASSERT_FALSE(ui.Picture1->isHidden());
    ASSERT_TRUE(ui.WebBrowser1->isHidden());
    ui.Picture2->setFocus();
    QTest::mouseClick(ui.Picture1, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(ui.WebBrowser1->isHidden());
    EXPECT_FALSE(ui.Picture4->isHidden());
    EXPECT_EQ(form.focusWidget(), ui.cmdPlay);
    // The hide face now lies over the show face and takes the second click.
    QTest::mouseClick(ui.Picture4, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(ui.WebBrowser1->isHidden());
    EXPECT_TRUE(ui.Picture4->isHidden());
    QTest::mouseClick(ui.Picture1, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(ui.WebBrowser1->isHidden());
}

TEST(PageToggle, WithoutPageOrMovie) {
    struct Case {
        const char* what;
        QStringList files;
        bool browserShown;
        bool focusOnPlay;
    } cases[] = {
        {"no page", {"film.avi"}, false, true},
        {"no movie", {"intro.htm"}, true, false},
        {"neither", {}, false, false},
    };
    for (const Case& c : cases) {
        DiscFolder disc;
        for (const QString& name : c.files) disc.add(name);
        auto started = StartForm(disc.path());
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        form.show();
        ui.Picture2->setFocus();
        Form1View(form).Picture1_Click();  // without a page its button is hidden: the handler itself
        EXPECT_EQ(!ui.WebBrowser1->isHidden(), c.browserShown) << c.what;
        EXPECT_EQ(!ui.Picture4->isHidden(), c.browserShown) << c.what;
        EXPECT_EQ(form.focusWidget() == ui.cmdPlay, c.focusOnPlay) << c.what;
    }
}

TEST(Play, OpensTheFirstMovieAndClosesTheWindowOnceItStarted) {
    const QString sep = QDir::separator();
    struct Case {
        const char* what;
        QStringList movies;
        bool root;
        QString expectedName;
        bool openSucceeds;
    } cases[] = {
        {"subfolder", {"film.avi"}, false, "film.avi", true},
        {"root", {"film.avi"}, true, "film.avi", true},
        {"several", {"zulu.avi", "Bravo.avi", "alpha.AVI"}, false, "alpha.AVI", true},
        {"open fails", {"film.avi"}, false, "film.avi", false},
        {"outside any ANSI code page, space, & and %",
         {"Fïlm 映画 & 100% Ωmega.avi"},
         false,
         "Fïlm 映画 & 100% Ωmega.avi",
         true},
    };
    for (const Case& c : cases) {
        DiscFolder disc;
        for (const QString& name : c.movies) disc.add(name);
        auto started = StartForm(disc.path() + (c.root ? sep : QString()));
        started->platform.openSucceeds = c.openSucceeds;
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        form.show();
        QTest::mouseClick(ui.cmdPlay, Qt::LeftButton);
        EXPECT_EQ(started->platform.opened, QStringList{disc.path() + sep + c.expectedName}) << c.what;
        EXPECT_EQ(Form1View(form).moviePath(), disc.path() + sep + c.expectedName) << c.what;
        // Nothing started: the window stays, ready for another try, and says so.
        EXPECT_EQ(form.isVisible(), !c.openSucceeds) << c.what;
        EXPECT_EQ(ui.cmdPlay->accessibleDescription().isEmpty(), c.openSucceeds) << c.what;
        if (!c.openSucceeds) {
            EXPECT_EQ(form.focusWidget(), ui.cmdPlay) << c.what;
            EXPECT_TRUE(ui.cmdPlay->isEnabled()) << c.what;
            EXPECT_FALSE(ui.cmdPlay->isDown()) << c.what;
        }
        EXPECT_EQ(started->platform.ends, 0) << c.what;
    }
}

TEST(Play, AFailedStartCanBeTriedAgain) {
    DiscFolder disc;
    disc.add("film.avi");
    auto started = StartForm(disc.path());
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    form.show();
    started->platform.openSucceeds = false;
    QTest::mouseClick(ui.cmdPlay, Qt::LeftButton);
    ASSERT_TRUE(form.isVisible());
    started->platform.openSucceeds = true;
    QTest::keyClick(ui.cmdPlay, Qt::Key_Space);
    EXPECT_EQ(started->platform.opened.size(), 2);
    EXPECT_FALSE(form.isVisible());
}

TEST(Play, IsPressedBySpaceEnterAndAltP) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } cases[] = {
        {Qt::Key_Space, Qt::NoModifier}, {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_P, Qt::AltModifier}};
    for (const Case& c : cases) {
        DiscFolder disc;
        auto started = StartOnDisc(disc);
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        QApplication::setActiveWindow(&form);
        ui.cmdPlay->setFocus();
        QTest::keyClick(ui.cmdPlay, c.key, c.modifiers);
        EXPECT_TRUE(QTest::qWaitFor([&] { return started->platform.opened.size() == 1; })) << c.key;
        EXPECT_FALSE(form.isVisible()) << c.key;
    }
}

TEST(ShellOpen, StartsNothingForAnEmptyPathAndSaysWhetherItStarted) {
    FakePlatform platform;
    EXPECT_FALSE(Module1::ShellOpen(QString(), nullptr, platform));
    EXPECT_TRUE(platform.opened.isEmpty());
    EXPECT_TRUE(Module1::ShellOpen(QStringLiteral("/disc/film.avi"), nullptr, platform));
    platform.openSucceeds = false;
    EXPECT_FALSE(Module1::ShellOpen(QStringLiteral("/disc/film.avi"), nullptr, platform));
    EXPECT_EQ(platform.opened, (QStringList{"/disc/film.avi", "/disc/film.avi"}));
}

}  // namespace discstart
