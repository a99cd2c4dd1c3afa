#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <chrono>
#include <string>

#include "content/background.h"

namespace discstart {

// Reads a cover picture on a worker thread, so no picture can keep the window from showing or
// from closing. `loaded` comes once, on the thread the load lives in; a null image when the
// picture cannot be read or is past a budget. Deleting the load drops a result still to come.
class PictureLoad : public QObject {
    Q_OBJECT
  public:
    PictureLoad(const std::string& path, const QSize& target, QObject* parent = nullptr);

    // Waits up to `wait` for the picture and, when it is there, hands it over at once: a plain
    // cover is then in the window's first paint.
    void settle(std::chrono::milliseconds wait) { work_.settle(wait); }

  signals:
    void loaded(const QImage& picture);

  private:
    Background<QImage> work_;
};

}  // namespace discstart
