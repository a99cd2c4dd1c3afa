#pragma once

#include <QStringList>

#include "page/page_view.h"

namespace discstart {

// A page view that records what it was told and loads nothing.
class FakePageView : public PageView {
  public:
    explicit FakePageView(QWidget* parent) : PageView(parent) { setFocusPolicy(Qt::StrongFocus); }
    QStringList calls;
    QString navigated;
    bool hasDocument = false;

    void setOffline(bool offline) override { calls << (offline ? "offline" : "online"); }
    bool setDesignModeOff() override {
        calls << "designModeOff";
        return hasDocument;
    }
    void navigate(const QString& path) override {
        calls << "navigate";
        navigated = path;
    }
    QUrl currentUrl() const override { return QUrl::fromLocalFile(navigated); }
    QString engineName() const override { return QStringLiteral("fake"); }
};

}  // namespace discstart
