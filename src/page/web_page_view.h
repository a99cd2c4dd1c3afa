#pragma once

#include "page/page_view.h"

class QWebEngineProfile;
class QWebEngineView;

namespace discstart {

class OfflineInterceptor;

// The full engine. Starting Chromium costs a noticeable moment and a lot of memory, so the
// engine is created only once the window is on screen; a page asked for earlier is
// remembered and loaded then, still hidden.
class WebPageView : public PageView {
    Q_OBJECT
  public:
    explicit WebPageView(QWidget* parent = nullptr);
    ~WebPageView() override;

    void setOffline(bool offline) override;
    bool setDesignModeOff() override;
    void navigate(const QString& path) override;
    QUrl currentUrl() const override;
    QString engineName() const override { return QStringLiteral("WebEngine"); }

  signals:
    void engineCreated();

  private:
    void createEngine();

    OfflineInterceptor* interceptor_;
    QWebEngineProfile* profile_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QUrl pendingUrl_;
    bool hasDocument_ = false;
};

}  // namespace discstart
