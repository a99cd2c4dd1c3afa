#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace discstart {

// Calls `then` once, soon after the window holding `widget` has first been painted (at
// once if that window is already on screen), and at low priority, so whatever the window
// queued on its first paint runs first. Follows the widget into another window until then.
// For work that would keep the window off the screen: starting an engine, loading a library.
class WindowPaintWatch : public QObject {
  public:
    WindowPaintWatch(QWidget* widget, std::function<void()> then);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void watchWindow();
    void schedule();

    QWidget* widget_;
    std::function<void()> then_;
    QPointer<QWidget> window_;
    bool scheduled_ = false;
};

}  // namespace discstart
