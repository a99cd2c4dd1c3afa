#pragma once

#include <QRect>
#include <QString>

#include "text/number_format.h"

class QWidget;

namespace discstart {

// Everything the window asks of the operating system. QtPlatform is the real one; the
// tests hand the window a fake that records what it was asked.
class Platform {
  public:
    virtual ~Platform() = default;

    // The screen the window opens on, in device-independent pixels.
    virtual QRect screenGeometry() const = 0;
    // Keeps the window above the ordinary windows of other programs. Called before it is shown.
    virtual void keepOnTop(QWidget& window) = 0;
    // The window follows the mouse until the left button is released.
    virtual void startWindowDrag(QWidget& window) = 0;
    // Opens the file with the application its type is associated with, without waiting.
    // False when nothing could be started.
    virtual bool openWithAssociatedApplication(const QString& path, QWidget* owner) = 0;
    // Ends the program at once: no further events, no clean-up.
    virtual void endProgramNow() = 0;
    // The directory the program runs from, in native form.
    virtual QString applicationDirectory() const = 0;
    // The user's decimal point and digit grouping.
    virtual NumberFormat numberFormat() const = 0;
};

}  // namespace discstart
