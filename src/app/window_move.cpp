#include "app/window_move.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace discstart {

namespace {

// Lives from the press to the release; the window grabs the mouse meanwhile.
class ManualMove : public QObject {
  public:
    explicit ManualMove(QWidget& window)
        : QObject(&window), window_(&window), offset_(QCursor::pos() - window.pos()) {
        window.installEventFilter(this);
        window.grabMouse();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) return false;
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            window_->move(keptOnScreen(move->globalPosition().toPoint() - offset_));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            finish();
            return true;
        }
        return false;
    }

  private:
    QPoint keptOnScreen(QPoint topLeft) const {
        const QScreen* screen = window_->screen();
        if (!screen) return topLeft;
        const QRect area = screen->availableGeometry();
        const int grip = 24;  // enough of the title row to grab it again
        topLeft.setX(qBound(area.left() - window_->width() + grip, topLeft.x(), area.right() - grip));
        topLeft.setY(qBound(area.top(), topLeft.y(), area.bottom() - grip));
        return topLeft;
    }

    void finish() {
        window_->releaseMouse();
        window_->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> window_;
    QPoint offset_;
};

}  // namespace

void StartManualWindowMove(QWidget& window) {
    new ManualMove(window);
}

}  // namespace discstart
