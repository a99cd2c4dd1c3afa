// The window without a mouse: Tab, Space, Return and Esc, the focus mark, and what a
// screen reader is told.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "app/controls/form_label.h"
#include "app/controls/picture_box.h"
#include "support/disc_folder.h"

namespace discstart {

namespace {

std::unique_ptr<StartedForm> ShownWithPage(DiscFolder& disc) {
    disc.add("film.avi", AviWithTitle("Title"));
    disc.add("intro.htm", "<p>page</p>");
    auto started = StartForm(disc.path());
    started->form->show();
    QApplication::setActiveWindow(started->form.get());
    started->view().ui().Picture6->setVisible(true);  // shown for Xvid films, yet never a stop
    return started;
}

// The focus stops met by pressing Tab from play until it comes back.
QList<QWidget*> TabStops(Form1& form) {
    const Form1Ui& ui = Form1View(form).ui();
    ui.cmdPlay->setFocus(Qt::TabFocusReason);
    QList<QWidget*> stops{form.focusWidget()};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        if (form.focusWidget() == ui.cmdPlay) break;
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
    const Form1Ui& ui = Form1View(form).ui();
    EXPECT_EQ(TabStops(form), (QList<QWidget*>{ui.cmdPlay, ui.Picture1, ui.Picture3}));
    QTest::mouseClick(ui.Picture1, Qt::LeftButton, {}, QPoint(5, 5));
    // The hide face lies over the show face: one stop for the one button.
    const QList<QWidget*> stops = TabStops(form);
    ASSERT_EQ(stops.size(), 4);
    EXPECT_EQ(stops.mid(0, 3), (QList<QWidget*>{ui.cmdPlay, ui.Picture4, ui.Picture3}));
    EXPECT_TRUE(ui.WebBrowser1->isAncestorOf(stops[3]) || stops[3] == ui.WebBrowser1);
}

TEST(Keyboard, SpaceAndReturnPressThePictureButtonsAndEscCloses) {
    struct Case {
        const char* what;
        PictureBox* Form1Ui::*button;  // holds the focus
        QList<Qt::Key> keys;
        int ends;
        bool pageShown;
        PictureBox* Form1Ui::*focusAfter;
    } cases[] = {
        {"space on page", &Form1Ui::Picture1, {Qt::Key_Space}, 0, true, &Form1Ui::Picture4},
        {"return on page", &Form1Ui::Picture1, {Qt::Key_Return}, 0, true, &Form1Ui::Picture4},
        {"keypad enter on page", &Form1Ui::Picture1, {Qt::Key_Enter}, 0, true, &Form1Ui::Picture4},
        // The focus stays on the button: the second press hides the page, it does not play.
        {"space twice on page",
         &Form1Ui::Picture1,
         {Qt::Key_Space, Qt::Key_Space},
         0,
         false,
         &Form1Ui::Picture1},
        {"other key on page", &Form1Ui::Picture1, {Qt::Key_A}, 0, false, &Form1Ui::Picture1},
        {"space on close", &Form1Ui::Picture3, {Qt::Key_Space}, 1, false, &Form1Ui::Picture3},
        {"esc on page", &Form1Ui::Picture1, {Qt::Key_Escape}, 1, false, &Form1Ui::Picture1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscFolder disc;
        auto started = ShownWithPage(disc);
        Form1& form = *started->form;
        const Form1Ui& ui = Form1View(form).ui();
        (ui.*c.button)->setFocus(Qt::TabFocusReason);
        for (Qt::Key key : c.keys) QTest::keyClick(form.focusWidget(), key);
        EXPECT_EQ(started->platform.ends, c.ends);
        EXPECT_EQ(!ui.WebBrowser1->isHidden(), c.pageShown);
        EXPECT_EQ(!ui.Picture4->isHidden(), c.pageShown);
        EXPECT_EQ(form.focusWidget(), ui.*c.focusAfter);
        EXPECT_TRUE(started->platform.opened.isEmpty());
    }
}

TEST(Keyboard, FocusedButtonShowsItsMark) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    for (PictureBox* button : {ui.Picture1, ui.Picture3}) {
        SCOPED_TRACE(button->objectName().toStdString());
        auto markPixels = [&] {
            const QImage face = button->grab().toImage();
            int count = 0;
            for (int x = 0; x < face.width(); ++x) count += face.pixelColor(x, 1) == QColor(156, 208, 248);
            return count;
        };
        ui.cmdPlay->setFocus();
        EXPECT_LT(markPixels(), button->width() / 2);
        button->setFocus(Qt::TabFocusReason);
        EXPECT_GE(markPixels(), button->width() - 4);
    }
}

TEST(Accessibility, ButtonsAreNamedAndPressedAsButtons) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    const std::pair<QWidget*, QString> named[] = {
        {&form, "film"},        {ui.cmdPlay, "Play"}, {ui.Picture1, "Show page"}, {ui.Picture4, "Hide page"},
        {ui.Picture3, "Close"},
    };
    for (const auto& [control, name] : named) {
        QAccessibleInterface* iface = Accessible(control);
        EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), name.toStdString());
        if (control == &form) continue;
        EXPECT_EQ(iface->role(), QAccessible::Button) << name.toStdString();
        EXPECT_TRUE(
            iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    EXPECT_EQ(Accessible(ui.WebBrowser1)->text(QAccessible::Name).toStdString(), "Page");
    EXPECT_EQ(form.windowTitle(), "Form1");  // the names change no caption
    EXPECT_EQ(ui.cmdPlay->text(), "&play");
    Accessible(ui.Picture1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(ui.WebBrowser1->isHidden());
    Accessible(ui.Picture3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(started->platform.ends, 1);
}

TEST(Accessibility, ValuesAreLabelledByCaptionsAndTagLinesGrouped) {
    DiscFolder disc;
    auto started = ShownWithPage(disc);
    Form1& form = *started->form;
    const Form1Ui& ui = Form1View(form).ui();
    for (int row = 0; row < 12; ++row) {
        const auto labels = Accessible(ui.lbl[row])->relations(QAccessible::Label);
        const bool captioned = !ui.lblY[row]->text().isEmpty();
        ASSERT_EQ(labels.size(), captioned ? 1 : 0) << row;
        if (captioned) {
            EXPECT_EQ(labels[0].first->object(), ui.lblY[row]) << row;
        }
    }
    // The window's children hold one group in place of the four lines.
    QAccessibleInterface* window = Accessible(&form);
    const QObject* lines[] = {ui.Label3, ui.lblAuthor, ui.lblCopyright, ui.Label4};
    QAccessibleInterface* group = nullptr;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        EXPECT_EQ(window->indexOfChild(child), i);
        EXPECT_EQ(std::count(std::begin(lines), std::end(lines), child->object()), 0);
        if (child->role() == QAccessible::Grouping) group = child;
    }
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->parent(), window);
    ASSERT_EQ(group->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(group->child(i)->object(), lines[i]);
        EXPECT_EQ(group->child(i)->parent(), group);
        EXPECT_EQ(group->indexOfChild(group->child(i)), i);
    }
    EXPECT_EQ(group->child(0)->text(QAccessible::Name), ui.Label3->text());
}

}  // namespace discstart
