// What the user can do with the window: drag it, close it, toggle the page, play.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <exception>

#include "app/controls/form_label.h"
#include "app/controls/limited_line_edit.h"
#include "app/controls/mouse_keys.h"
#include "app/controls/picture_box.h"
#include "app/form1.h"
#include "app/module1.h"
#include "app/platform.h"
#include "content/native_name.h"
#include "page/page_view.h"

namespace discstart {

void Form1::connectHandlers() {
    connect(ui.Image1, &PictureBox::mouseDown, this, &Form1::Image1_MouseDown);
    connect(ui.Label1, &FormLabel::mouseDown, this, &Form1::Label1_MouseDown);
    connect(ui.Picture2, &PictureBox::mouseDown, this, &Form1::Picture2_MouseDown);
    connect(ui.Picture6, &PictureBox::mouseDown, this, &Form1::Picture6_MouseDown);
    connect(ui.Picture3, &PictureBox::mouseDown, this, &Form1::Picture3_MouseDown);
    connect(ui.Picture3, &PictureBox::mouseUp, this, &Form1::Picture3_MouseUp);
    connect(ui.Picture1, &PictureBox::clicked, this, &Form1::Picture1_Click);
    connect(ui.Picture4, &PictureBox::clicked, this, &Form1::Picture4_Click);
    connect(ui.Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(ui.cmdPlay, &QPushButton::clicked, this, &Form1::cmdPlay_Click);
    connect(ui.Picture1, &PictureBox::activated, this, &Form1::pageButtonPressed);
    connect(ui.Picture4, &PictureBox::activated, this, &Form1::pageButtonPressed);
    connect(ui.Picture3, &PictureBox::activated, this, &Form1::closeButtonPressed);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    event->accept();
    Form_MouseDown(ButtonMask(event->button()));
}

// Keys reach Form_KeyDown whichever control has the focus. A key is seen once, where it
// is first delivered: at the focus control, or at the window when nothing has the focus.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    QWidget* target = focusWidget() ? focusWidget() : this;
    if (watched != target) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    Form_KeyDown(KeyCode(key->key()), ModifierMask(key->modifiers()));
    return false;
}

void Form1::windowDrag(int button) {
    if (button & LeftButton) platform_.startWindowDrag(*this);
}

void Form1::Form_MouseDown(int button) {
    windowDrag(button);
}
void Form1::Image1_MouseDown(int button) {
    windowDrag(button);
}
void Form1::Label1_MouseDown(int button) {
    windowDrag(button);
}
void Form1::Picture2_MouseDown(int button) {
    windowDrag(button);
}
void Form1::Picture6_MouseDown(int button) {
    windowDrag(button);
}

void Form1::Picture3_MouseDown(int button) {
    if (button == LeftButton) ui.Picture5->setVisible(true);
}

void Form1::Picture3_MouseUp(int button) {
    if (button != LeftButton) return;
    ui.Picture5->setVisible(false);
    platform_.endProgramNow();
}

void Form1::Form_KeyDown(int keyCode, int shift) {
    if (keyCode == KeyF4 && (shift & AltMask)) platform_.endProgramNow();
    // Esc closes as the close button does, whatever else is held.
    if (keyCode == KeyEscape) platform_.endProgramNow();
}

void Form1::closeButtonPressed() {
    platform_.endProgramNow();
}

void Form1::pageToggle() {
    if (ui.cmdPlay->isEnabled()) ui.cmdPlay->setFocus(Qt::OtherFocusReason);
    flipPage();
}

// From the keyboard the focus stays on the page button, so a second Space hides the page
// again rather than playing the film.
void Form1::pageButtonPressed() {
    flipPage();
    (ui.Picture4->isHidden() ? ui.Picture1 : ui.Picture4)->setFocus(Qt::OtherFocusReason);
}

void Form1::flipPage() {
    if (!disc_.pageButtonShown()) return;
    const bool show = ui.WebBrowser1->isHidden();
    // Only the face on top is a tab stop. A focused face hands the focus to the other
    // before it is covered or hidden, so the focus never wanders off the button.
    const bool faceHadFocus = focusWidget() == (show ? ui.Picture1 : ui.Picture4);
    ui.Picture1->setFocusPolicy(show ? Qt::NoFocus : Qt::TabFocus);
    if (faceHadFocus && !show) ui.Picture1->setFocus(Qt::OtherFocusReason);
    ui.WebBrowser1->setVisible(show);
    ui.Picture4->setVisible(show);
    if (faceHadFocus && show) ui.Picture4->setFocus(Qt::OtherFocusReason);
}

void Form1::Picture1_Click() {
    pageToggle();
}
void Form1::Picture4_Click() {
    pageToggle();
}

void Form1::Text1_Change() {
    ui.cmdPlay->setFocus(Qt::OtherFocusReason);
}

void Form1::cmdPlay_Click() {
    play();
}

void Form1::play() {
    // Best effort: a failing step is skipped. The window closes once the player has started;
    // a window that closed when nothing started would report a failure as success.
    try {
        moviePath_ = QtPath(disc_.moviePath());
    } catch (const std::exception&) {
    }
    bool started = false;
    try {
        started = Module1::ShellOpen(moviePath_, this, platform_);
    } catch (const std::exception&) {
    }
    if (started) {
        close();
        return;
    }
    playFailed();
}

// The window stays as it was, the play button ready for another try, and says what happened
// to those who hear rather than see it: the system's beep, and the button's description.
void Form1::playFailed() {
    ui.cmdPlay->setFocus(Qt::OtherFocusReason);
    ui.cmdPlay->setAccessibleDescription(QStringLiteral("The film could not be opened"));
    QApplication::beep();
}

}  // namespace discstart
