#pragma once

#include <QString>
#include <QStringList>
#include <utility>

#include "app/platform.h"

namespace discstart {

class QtPlatform : public Platform {
  public:
    // `folder`: the disc folder the window shows, empty for the program's own.
    explicit QtPlatform(QString folder = {}) : folder_(std::move(folder)) {}
    QRect screenGeometry() const override;
    void keepOnTop(QWidget& window) override;
    void startWindowDrag(QWidget& window) override;
    bool openWithAssociatedApplication(const QString& path, QWidget* owner) override;
    void endProgramNow() override;
    QString applicationDirectory() const override;
    NumberFormat numberFormat() const override;

  private:
    QString folder_;
};

// How a file is handed to its associated application on a desktop without a shell API:
// one program, the file as one argument (never through a shell), a fixed working directory.
struct OpenCommand {
    QString program;
    QStringList arguments;
    QString workingDirectory;
};
OpenCommand AssociatedOpenCommand(const QString& path);

// On Linux: when the user chose no Qt platform and a Wayland session is running, use X
// (through XWayland) if it runs and its plugin is installed, since only X lets a client place its own
// window, keep it on top and move it. Call before the application object exists.
void PreferX11WindowSystem();

}  // namespace discstart
