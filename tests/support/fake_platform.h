#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include "app/platform.h"

namespace discstart {

// Records what the window asks of the system, one line per call.
class FakePlatform : public Platform {
  public:
    QRect screen{0, 0, 1024, 768};
    QString directory;
    bool openSucceeds = true;
    NumberFormat format = NumberFormat::English();
    mutable QStringList calls;
    QStringList opened;
    int drags = 0;
    int ends = 0;

    QRect screenGeometry() const override {
        calls << QStringLiteral("screenGeometry");
        return screen;
    }
    void keepOnTop(QWidget&) override { calls << QStringLiteral("keepOnTop"); }
    void startWindowDrag(QWidget&) override {
        calls << QStringLiteral("startWindowDrag");
        ++drags;
    }
    bool openWithAssociatedApplication(const QString& path, QWidget*) override {
        calls << QStringLiteral("open");
        opened << path;
        return openSucceeds;
    }
    void endProgramNow() override {
        calls << QStringLiteral("endProgramNow");
        ++ends;
    }
    QString applicationDirectory() const override {
        calls << QStringLiteral("applicationDirectory");
        return directory;
    }
    NumberFormat numberFormat() const override { return format; }
};

}  // namespace discstart
