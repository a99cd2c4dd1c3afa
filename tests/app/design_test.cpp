// The window as built from its design, before start-up changes anything.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/controls/form_label.h"
#include "app/controls/limited_line_edit.h"
#include "app/controls/picture_box.h"
#include "app/form1_design.h"
#include "app/twips.h"
#include "support/disc_folder.h"

namespace discstart {

namespace {

struct Built {
    FakePlatform platform;
    Form1 form{platform, [](QWidget* parent) { return new FakePageView(parent); }};
    const Form1Ui& ui = Form1View(form).ui();
};

QWidget* Find(Form1& form, const QString& name) {
    if (name == "Form1") return &form;
    return form.findChild<QWidget*>(name);
}

}  // namespace

TEST(Design, EveryWindowedControlAndLabelStandsWhereDesigned) {
    Built built;
    int widgets = 0;
    for (const ControlDesign& design : Form1Controls()) {
        if (design.kind == ControlKind::FileList) continue;
        QString name = QString::fromUtf8(design.name);
        if (design.array) name += "_0";
        QWidget* control = Find(built.form, name);
        ASSERT_NE(control, nullptr) << design.name;
        ++widgets;
        EXPECT_EQ(control->geometry(), TwipsRect(design.left, design.top, design.width, design.height))
            << design.name;
        EXPECT_EQ(!control->isHidden(), design.visible) << design.name;
    }
    EXPECT_EQ(widgets, 23);
    // The design's file list and the discovery look for the same movies.
    EXPECT_EQ(std::string(FindControlDesign("fileList").pattern), MoviePattern);
}

TEST(Design, WindowIsBorderlessAtItsDesignSize) {
    Built built;
    EXPECT_EQ(built.form.size(), QSize(465, 397));
    EXPECT_TRUE(built.form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(built.form.windowTitle(), "Form1");
    EXPECT_DOUBLE_EQ(built.form.font().pointSizeF(), 8.25);
    // Every control, even before it takes its parent's font, lays out in the design's font.
    EXPECT_EQ(QApplication::font().family(), built.form.font().family());
    EXPECT_DOUBLE_EQ(QApplication::font().pointSizeF(), 8.25);
    EXPECT_EQ(built.ui.Label1->parentWidget(), built.ui.Picture2);
}

TEST(Design, TextBoxesHoldTheirLimits) {
    Built built;
    struct Case {
        LimitedLineEdit* box;
        int limit;
    } cases[] = {{built.ui.Text1, 26},
                 {built.ui.Text2, 28},
                 {built.ui.Text3, 28},
                 {built.ui.Text4, 28},
                 {built.ui.Text5, 64}};
    for (const Case& c : cases) {
        c.box->putText(QString(100, 'z'));
        EXPECT_EQ(c.box->text().size(), c.limit) << c.box->objectName().toStdString();
        EXPECT_TRUE(c.box->isHidden());
    }
    EXPECT_TRUE(built.ui.chkRB->isChecked());
    EXPECT_EQ(built.ui.cmdPlay->text(), "&play");
}

TEST(Design, LabelsCarryTheirColoursFontsAndAlignment) {
    Built built;
    struct Case {
        QLabel* label;
        QColor back;  // invalid: transparent
        QColor fore;
        bool bold;
        bool centred;
    } cases[] = {
        {built.ui.Label1, QColor(175, 175, 175), built.form.palette().color(QPalette::WindowText), true,
         true},
        {built.ui.Label3, QColor(206, 206, 206), built.form.palette().color(QPalette::ButtonText), true,
         true},
        {built.ui.Label4, QColor(38, 38, 38), Qt::white, false, true},
        {built.ui.lblAuthor, QColor(128, 128, 128), Qt::white, false, true},
        {built.ui.lblCopyright, QColor(64, 64, 64), Qt::white, false, true},
        {built.ui.lbl[0], QColor(), QColor(156, 208, 248), false, false},
        {built.ui.lblY[0], QColor(), QColor(156, 208, 248), true, false},
        {built.ui.Label2, QColor(), built.form.palette().color(QPalette::WindowText), false, true},
    };
    for (const Case& c : cases) {
        const std::string name = c.label->objectName().toStdString();
        EXPECT_EQ(c.label->autoFillBackground(), c.back.isValid()) << name;
        if (c.back.isValid()) {
            EXPECT_EQ(c.label->palette().color(QPalette::Window), c.back) << name;
        }
        EXPECT_EQ(c.label->palette().color(QPalette::WindowText), c.fore) << name;
        EXPECT_EQ(c.label->font().bold(), c.bold) << name;
        EXPECT_EQ(bool(c.label->alignment() & Qt::AlignHCenter), c.centred) << name;
        EXPECT_DOUBLE_EQ(c.label->font().pointSizeF(), 8.25) << name;
    }
}

TEST(Design, WindowedControlsCoverLabelsAndTheImage) {
    Built built;
    Form1& form = built.form;
    const Form1Ui& ui = built.ui;
    const QObjectList& stack = form.children();  // bottom first
    auto level = [&](QWidget* w) { return stack.indexOf(w); };
    struct Case {
        QWidget* upper;
        QWidget* lower;
    } cases[] = {
        {ui.Picture4, ui.Picture1}, {ui.Picture5, ui.Picture3},   {ui.Picture1, ui.Picture2},
        {ui.Picture3, ui.Picture2}, {ui.WebBrowser1, ui.cmdPlay}, {ui.WebBrowser1, ui.Picture6},
        {ui.cmdPlay, ui.Label3},    {ui.Picture6, ui.lbl[0]},     {ui.WebBrowser1, ui.Image1},
        {ui.Label2, ui.Image1},     {ui.lbl[0], ui.Image1},       {ui.Label4, ui.Label3},
    };
    for (const Case& c : cases)
        EXPECT_GT(level(c.upper), level(c.lower))
            << c.upper->objectName().toStdString() << " over " << c.lower->objectName().toStdString();
}

TEST(Design, IconAndPointerArriveAfterTheFirstPaint) {
    if (!QFile::exists(QStringLiteral(":/assets/cursor.png"))) GTEST_SKIP() << "no cursor in this build";
    Built built;
    Form1& form = built.form;
    const Form1Ui& ui = built.ui;
    QWidget* faces[] = {ui.Picture1, ui.Picture4};
    // Nothing of it is on screen before the window is: the start does not wait for it.
    EXPECT_TRUE(form.windowIcon().isNull());
    for (QWidget* w : faces)
        EXPECT_NE(w->cursor().shape(), Qt::BitmapCursor) << w->objectName().toStdString();
    form.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.Picture1->cursor().shape() == Qt::BitmapCursor; }));
    for (QWidget* w : faces) {
        EXPECT_EQ(w->cursor().shape(), Qt::BitmapCursor) << w->objectName().toStdString();
        EXPECT_EQ(w->cursor().hotSpot(), QPoint(6, 0));
    }
    EXPECT_NE(ui.Picture2->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form.windowIcon().availableSizes(), QList<QSize>({QSize(16, 16), QSize(32, 32)}));
}

TEST(Design, PictureBoxesDecodeTheirFaceWhenFirstShown) {
    Built built;
    Form1& form = built.form;
    const Form1Ui& ui = built.ui;
    struct Case {
        PictureBox* box;
        QSize size;
    } cases[] = {{ui.Picture1, {31, 21}}, {ui.Picture2, {444, 21}}, {ui.Picture3, {21, 21}},
                 {ui.Picture4, {31, 21}}, {ui.Picture5, {21, 21}},  {ui.Picture6, {189, 69}}};
    form.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box->objectName().toStdString());
        // A face that stayed hidden has cost nothing yet; showing it brings its picture.
        EXPECT_EQ(c.box->picture().isNull(), c.box->isHidden());
        c.box->setVisible(true);
        EXPECT_EQ(c.box->picture().deviceIndependentSize().toSize(), c.size);
    }
}

TEST(Design, Label1FitsItsTextKeepingItsLeftEdge) {
    Built built;
    FormLabel* title = built.ui.Label1;
    const int left = title->x();
    title->setCaption(" movie is not in the directory ");
    EXPECT_EQ(title->x(), left);
    EXPECT_GT(title->width(), TwipsToPixels(930));
    EXPECT_EQ(title->width(), title->fontMetrics().horizontalAdvance(title->text()));
    title->setCaption(" A ");
    EXPECT_LT(title->width(), TwipsToPixels(930));
}

}  // namespace discstart
