#include "form_label.h"

#include <QMouseEvent>

#include "mouse_keys.h"

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
