#include "page/window_paint_watch.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

namespace discstart {

namespace {

QEvent::Type PaintedEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

WindowPaintWatch::WindowPaintWatch(QWidget* widget, std::function<void()> then)
    : QObject(widget), widget_(widget), then_(std::move(then)) {
    widget_->installEventFilter(this);
    watchWindow();
}

bool WindowPaintWatch::event(QEvent* event) {
    if (event->type() != PaintedEvent()) return QObject::event(event);
    widget_->removeEventFilter(this);
    if (window_ != nullptr) window_->removeEventFilter(this);
    if (then_) std::exchange(then_, nullptr)();
    return true;
}

bool WindowPaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::ParentChange) watchWindow();
    if (watched == window_ && event->type() == QEvent::Paint) schedule();
    return false;
}

void WindowPaintWatch::watchWindow() {
    if (scheduled_ || window_ == widget_->window()) return;
    if (window_ != nullptr && window_ != widget_) window_->removeEventFilter(this);
    window_ = widget_->window();
    window_->installEventFilter(this);
    if (window_->isVisible()) schedule();
}

void WindowPaintWatch::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    // Posted, so the paint reaches the screen first.
    QCoreApplication::postEvent(this, new QEvent(PaintedEvent()), Qt::LowEventPriority);
}

}  // namespace discstart
