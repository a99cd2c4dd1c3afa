#include "app/controls/form_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "app/controls/mouse_keys.h"

namespace discstart {

FormLabel::FormLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setMargin(0);
    setIndent(0);
}

void FormLabel::setAutoSize(bool autoSize) {
    // The design box stands until the first caption arrives.
    autoSize_ = autoSize;
}

void FormLabel::setCaption(const QString& caption) {
    setText(caption);
    if (autoSize_) fitToText();
}

void FormLabel::fitToText() {
    const QFontMetrics metrics(font());
    resize(metrics.horizontalAdvance(text()), height());
}

FormLabel* FormLabel::copy() const {
    auto* twin = new FormLabel(parentWidget());
    twin->setFont(font());
    twin->setPalette(palette());
    twin->setAutoFillBackground(autoFillBackground());
    twin->setAlignment(alignment());
    twin->setGeometry(geometry());
    twin->setText(text());
    twin->autoSize_ = autoSize_;
    twin->setCursor(cursor());
    twin->hide();
    twin->stackUnder(const_cast<FormLabel*>(this));
    return twin;
}

void FormLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit mouseDown(ButtonMask(event->button()));
}

QString FormLabel::shownText() const {
    // A label that sizes itself always fits; a left-aligned one already shows its beginning.
    if (autoSize_ || !(alignment() & Qt::AlignHCenter)) return text();
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void FormLabel::paintEvent(QPaintEvent* event) {
    const QString shown = shownText();
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), Qt::AlignLeft | (alignment() & Qt::AlignVertical_Mask),
                          palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace discstart
