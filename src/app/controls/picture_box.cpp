#include "app/controls/picture_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "app/controls/mouse_keys.h"

namespace discstart {

PictureBox::PictureBox(Fit fit, QWidget* parent) : QWidget(parent), fit_(fit) {}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::setPicture(const QImage& picture) {
    setPicture(QPixmap::fromImage(picture));
}

void PictureBox::setPictureOnShow(std::function<QPixmap()> load) {
    pendingPicture_ = std::move(load);
    if (isVisible()) loadPendingPicture();
}

void PictureBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    loadPendingPicture();
}

void PictureBox::loadPendingPicture() {
    if (!pendingPicture_) return;
    const auto load = std::exchange(pendingPicture_, nullptr);
    setPicture(load());
}

void PictureBox::setButton(QColor focusMark) {
    focusMark_ = focusMark;
    setFocusPolicy(Qt::TabFocus);
}

void PictureBox::press() {
    emit activated();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (fit_ == Fit::Stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture_);
    } else {
        painter.drawPixmap(QPointF(0, 0), picture_);
    }
    if (!isButton() || !hasFocus()) return;
    // Inside the face's bevel, so the mark shows whatever lies around the button.
    painter.setPen(QPen(focusMark_, 1));
    painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit mouseDown(ButtonMask(event->button()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const int mask = ButtonMask(event->button());
    emit mouseUp(mask);
    if (mask == LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const bool pressKey =
        event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!isButton() || !pressKey || event->isAutoRepeat()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    press();
}

}  // namespace discstart
