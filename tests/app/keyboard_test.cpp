// The window without a mouse: Tab, Space, Return and Esc, the focus mark, and what a
// screen reader is told.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "controls/form_label.h"
#include "controls/picture_box.h"
#include "disc_folder.h"

namespace {

std::unique_ptr<StartedForm> ShownWithPage(DiscFolder& disc) {
    disc.add("film.avi", AviWithTitle("Title"));
    disc.add("intro.htm", "<p>page</p>");
    auto started = StartForm(disc.path());
    started->form->show();
    QApplication::setActiveWindow(started->form.get());
    started->form->Picture6->setVisible(true);  // shown for Xvid films, yet never a stop
    return started;
}

// The focus stops met by pressing Tab from play until it comes back.
QList<QWidget*> TabStops(Form1& form) {
    form.cmdPlay->setFocus(Qt::TabFocusReason);
    QList<QWidget*> stops{form.focusWidget()};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        if (form.focusWidget() == form.cmdPlay) break;
        stops << form.focusWidget();
    }
    return stops;
}

QAccessibleInterface* Accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

}  // namespace

TEST(Keyboard, TabVisitsPlayPageCloseAndTheShownPage) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    EXPECT_EQ(TabStops(form), (QList<QWidget*>{form.cmdPlay, form.Picture1, form.Picture3}));
    form.Picture1_Click();
    // The hide face lies over the show face: one stop for the one button.
    const QList<QWidget*> stops = TabStops(form);
    ASSERT_EQ(stops.size(), 4);
    EXPECT_EQ(stops.mid(0, 3), (QList<QWidget*>{form.cmdPlay, form.Picture4, form.Picture3}));
    EXPECT_TRUE(form.WebBrowser1->isAncestorOf(stops[3]) || stops[3] == form.WebBrowser1);
}

TEST(Keyboard, SpaceAndReturnPressThePictureButtonsAndEscCloses) {
    struct Case {
        const char* what;
        PictureBox* Form1::*button;  // focus holder; null: play
        Qt::Key key;
        int ends;
        bool pageShown;
        PictureBox* Form1::*focusAfter;
    } cases[] = {
        {"space on page", &Form1::Picture1, Qt::Key_Space, 0, true, &Form1::Picture4},
        {"return on page", &Form1::Picture1, Qt::Key_Return, 0, true, &Form1::Picture4},
        {"keypad enter on page", &Form1::Picture1, Qt::Key_Enter, 0, true, &Form1::Picture4},
        {"other key on page", &Form1::Picture1, Qt::Key_A, 0, false, &Form1::Picture1},
        {"space on close", &Form1::Picture3, Qt::Key_Space, 1, false, &Form1::Picture3},
        {"return on close", &Form1::Picture3, Qt::Key_Return, 1, false, &Form1::Picture3},
        {"esc on page", &Form1::Picture1, Qt::Key_Escape, 1, false, &Form1::Picture1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscFolder disc;
        auto started = ShownWithPage(disc);
        Form1& form = *started->form;
        (form.*c.button)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.*c.button, c.key);
        EXPECT_EQ(started->platform.ends, c.ends);
        EXPECT_EQ(!form.WebBrowser1->isHidden(), c.pageShown);
        EXPECT_EQ(!form.Picture4->isHidden(), c.pageShown);
        EXPECT_EQ(form.focusWidget(), form.*c.focusAfter);
        EXPECT_TRUE(started->platform.opened.isEmpty());
    }
}

TEST(Keyboard, SecondPressOnThePageButtonHidesThePageAgain) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    form.Picture1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.Picture1, Qt::Key_Space);
    QTest::keyClick(form.focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(form.WebBrowser1->isHidden());
    EXPECT_EQ(form.focusWidget(), form.Picture1);
    EXPECT_TRUE(started->platform.opened.isEmpty());  // not handed to play
}

TEST(Keyboard, FocusedButtonShowsItsMark) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    const QColor mark(156, 208, 248);
    for (PictureBox* button : {form.Picture1, form.Picture3}) {
        SCOPED_TRACE(button->objectName().toStdString());
        auto markPixels = [&] {
            const QImage face = button->grab().toImage();
            int count = 0;
            for (int x = 0; x < face.width(); ++x) count += face.pixelColor(x, 1) == mark;
            return count;
        };
        form.cmdPlay->setFocus();
        EXPECT_LT(markPixels(), button->width() / 2);
        button->setFocus(Qt::TabFocusReason);
        EXPECT_GE(markPixels(), button->width() - 4);
    }
}

TEST(Accessibility, NamesAndRolesAddToTheCaptions) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    form.Picture1_Click();
    struct Case {
        QWidget* control;
        QAccessible::Role role;
        QString name;
    } cases[] = {
        {&form, QAccessible::Window, "film"},
        {form.cmdPlay, QAccessible::Button, "Play"},
        {form.Picture1, QAccessible::Button, "Show page"},
        {form.Picture4, QAccessible::Button, "Hide page"},
        {form.Picture3, QAccessible::Button, "Close"},
    };
    for (const Case& c : cases) {
        QAccessibleInterface* iface = Accessible(c.control);
        ASSERT_NE(iface, nullptr) << c.name.toStdString();
        EXPECT_EQ(iface->role(), c.role) << c.name.toStdString();
        EXPECT_EQ(iface->text(QAccessible::Name), c.name);
    }
    EXPECT_EQ(form.windowTitle(), "Form1");
    EXPECT_EQ(form.cmdPlay->text(), "&play");
    EXPECT_NE(Accessible(form.Picture2)->role(), QAccessible::Button);
}

TEST(Accessibility, PressActionsWorkAsTheButtonsDo) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    QAccessibleActionInterface* page = Accessible(form.Picture1)->actionInterface();
    ASSERT_NE(page, nullptr);
    page->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(form.WebBrowser1->isHidden());
    Accessible(form.Picture4)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(form.WebBrowser1->isHidden());
    EXPECT_EQ(started->platform.ends, 0);
    Accessible(form.Picture3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(started->platform.ends, 1);
}

TEST(Accessibility, EachValueIsLabelledByItsCaption) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    for (int row = 0; row < 12; ++row) {
        const auto labels = Accessible(form.lbl[row])->relations(QAccessible::Label);
        const bool captioned = !form.lblY[row]->text().isEmpty();
        ASSERT_EQ(labels.size(), captioned ? 1 : 0) << row;
        if (captioned) {
            EXPECT_EQ(labels[0].first->object(), form.lblY[row]) << row;
        }
    }
}

TEST(Accessibility, TagLinesAreOneGroupOfTheWindow) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    QAccessibleInterface* window = Accessible(&form);
    const QObject* lines[] = {form.Label3, form.lblAuthor, form.lblCopyright, form.Label4};
    QAccessibleInterface* group = nullptr;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        EXPECT_EQ(window->indexOfChild(child), i);
        for (const QObject* line : lines) EXPECT_NE(child->object(), line) << "a tag line outside the group";
        if (child->role() == QAccessible::Grouping) group = child;
    }
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->parent(), window);
    ASSERT_EQ(group->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* line = group->child(i);
        EXPECT_EQ(line->object(), lines[i]);
        EXPECT_EQ(line->parent(), group);
        EXPECT_EQ(group->indexOfChild(line), i);
    }
    EXPECT_EQ(group->child(0)->text(QAccessible::Name), form.Label3->text());
    EXPECT_TRUE(group->rect().contains(form.lblAuthor->mapToGlobal(QPoint(5, 5))));
}
