// Start-up: Form_Load and the procedures it calls, and Form_Activate with the panel.
#include <QCheckBox>
#include <QPushButton>
#include <QShowEvent>

#include "app/controls/form_label.h"
#include "app/controls/limited_line_edit.h"
#include "app/controls/picture_box.h"
#include "app/form1.h"
#include "app/form1_panel.h"
#include "app/platform.h"
#include "app/twips.h"
#include "content/discovery.h"
#include "content/native_name.h"
#include "content/picture_load.h"
#include "page/page_view.h"
#include "system/system.h"

namespace discstart {

namespace {

constexpr int RowPitch = 225;
// The last caption row keeps the empty caption it was created with.
constexpr int WrittenCaptions = PanelRowCount - 1;

void SetLeft(QWidget* control, double twips) {
    control->move(TwipsToPixels(twips), control->y());
}
void SetTop(QWidget* control, double twips) {
    control->move(control->x(), TwipsToPixels(twips));
}

bool IsRootDirectory(const std::string& directory) {
    return !directory.empty() && directory.back() == PathSeparator();
}

// A tag line goes through its holding text box, which cuts it, into its label.
void ShowLine(const std::optional<std::string>& line, LimitedLineEdit* holder, FormLabel* label) {
    if (!line) return;
    holder->putText(QString::fromUtf8(*line));
    label->setCaption(holder->text());
}

}  // namespace

void Form1::Form_Load() {
    placeOnScreen();
    SetLeft(ui.WebBrowser1, 135);
    SetTop(ui.WebBrowser1, 375);
    SetTop(ui.Picture4, 0);
    SetLeft(ui.Picture4, 6510);
    SetTop(ui.Picture5, 0);
    SetLeft(ui.Picture5, 0);
    labelY();
    labelX();
    DataIN();
    load_html();
    loadImage();
    platform_.keepOnTop(*this);
}

void Form1::placeOnScreen() {
    const QRect screen = platform_.screenGeometry();
    const int top = CentredOffset(float(PixelsToTwips(screen.height())), float(PixelsToTwips(height())));
    const int left = CentredOffset(float(PixelsToTwips(screen.width())), float(PixelsToTwips(width())));
    move(screen.topLeft() + QPoint(TwipsToPixels(left), TwipsToPixels(top)));
}

void Form1::buildColumn(std::vector<FormLabel*>& column, const QString& name) {
    for (int i = 1; i < PanelRowCount; ++i) {
        FormLabel* element = column.front()->copy();
        element->setObjectName(name + QStringLiteral("_%1").arg(i));
        column.push_back(element);
        element->setVisible(true);
        SetTop(element, float(TopOf(column[i - 1])) + float(RowPitch));
    }
}

void Form1::labelY() {
    buildColumn(ui.lblY, QStringLiteral("lblY"));
    for (int i = 0; i < WrittenCaptions; ++i) ui.lblY[i]->setCaption(QString::fromUtf8(RowCaptions[i]));
}

void Form1::labelX() {
    buildColumn(ui.lbl, QStringLiteral("lbl"));
    // A screen reader reads each value with its caption.
    for (int i = 0; i < PanelRowCount; ++i)
        if (!ui.lblY[i]->text().isEmpty()) ui.lblY[i]->setBuddy(ui.lbl[i]);
}

void Form1::DataIN() {
    disc_ = DiscoverContent(SystemPath(platform_.applicationDirectory()));
    ui.Picture1->setVisible(disc_.pageButtonShown());
    ui.cmdPlay->setEnabled(disc_.playEnabled());
    if (disc_.playEnabled()) {
        ui.Text5->putText(disc_.titleStrip());
        ui.Label1->setCaption(ui.Text5->text());
    } else {
        ui.Label1->setCaption(disc_.titleStrip());
    }
    setAccessibleName(ui.Label1->text().trimmed());
    ui.Label2->setVisible(disc_.pictureNoteShown());
    if (disc_.pictureNoteShown()) ui.Label2->setCaption(QString::fromUtf8(NoPictureNote));
}

void Form1::load_html() {
    if (!IsRootDirectory(disc_.directory)) {
        ui.WebBrowser1->setOffline(true);
        ui.WebBrowser1->setDesignModeOff();  // false before any document: nothing to switch
    }
    // The browser can only be shown when there is a page, so without one nothing is loaded.
    if (!disc_.pageButtonShown()) return;
    ui.WebBrowser1->navigate(QtPath(disc_.pagePath()));
}

void Form1::loadImage() {
    const std::string path = disc_.picturePath();
    const qreal ratio = devicePixelRatioF();
    // Decoded on a worker: however the picture is made, the window shows and closes at once.
    auto* load = new PictureLoad(path, ui.Image1->size() * ratio, this);
    load->setObjectName(QStringLiteral("coverLoad"));
    connect(load, &PictureLoad::loaded, this, [this, ratio](QImage picture) {
        if (picture.isNull()) return;
        picture.setDevicePixelRatio(ratio);
        ui.Image1->setPicture(picture);
    });
    load->settle(std::chrono::milliseconds(30));
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    focusFirstControl();
}

void Form1::firstPaintDone() {
    // Activation may never come (offscreen, some window managers): fill the panel anyway.
    // Queued behind the first paint, so the movie is read while the window is on screen.
    QMetaObject::invokeMethod(this, &Form1::Form_Activate, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, &Form1::dressAfterFirstPaint, Qt::QueuedConnection);
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && paintedOnce_) Form_Activate();
}

void Form1::Form_Activate() {
    if (activated_) return;
    activated_ = true;
    label();
}

void Form1::focusFirstControl() {
    for (QWidget* control : focusOrder_) {
        if (control->isVisibleTo(this) && control->isEnabled() && control->focusPolicy() != Qt::NoFocus) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void Form1::label() {
    const PanelInput input{disc_.moviePath(), panel_->carry, ui.chkRB->checkState() == Qt::Checked,
                           platform_.numberFormat()};
    PanelUpdate update;
    try {
        update = RunPanel(
            input, PanelRecords{panel_->movieTags, panel_->aviHeader, panel_->oggStream, &panel_->container},
            DiskFiles());
    } catch (const std::exception&) {
        return;  // best effort: the panel keeps what it shows
    }
    panel_->carry = update.carry;
    ShowLine(update.titleLine, ui.Text1, ui.Label3);
    ShowLine(update.authorLine, ui.Text2, ui.lblAuthor);
    ShowLine(update.copyrightLine, ui.Text3, ui.lblCopyright);
    ShowLine(update.genreLine, ui.Text4, ui.Label4);
    for (int row = 0; row < PanelRowCount; ++row)
        if (update.rows[row]) ui.lbl[row]->setCaption(QString::fromUtf8(*update.rows[row]));
    if (update.xvidPicture) ui.Picture6->setVisible(true);
}

}  // namespace discstart
