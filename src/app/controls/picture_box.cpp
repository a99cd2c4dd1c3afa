#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "mouse_keys.h"

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

void PictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    if (fit_ == Fit::Stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture_);
    } else {
        painter.drawPixmap(QPointF(0, 0), picture_);
    }
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
