#pragma once

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

// Schemes a disc page may use without the network: its own files and inline data.
bool IsOfflineScheme(const QUrl& url);

// Sees every request of the profile, sub-resources and pre-loads included.
class OfflineInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void setOffline(bool offline) { offline_ = offline; }
    bool isOffline() const { return offline_; }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

  private:
    bool offline_ = false;
};

// Keeps navigation inside the view: schemes handed to other programs (mailto and the
// like) are refused, and so is the web while offline.
class DiscWebPage : public QWebEnginePage {
    Q_OBJECT
  public:
    DiscWebPage(QWebEngineProfile* profile, const OfflineInterceptor* interceptor, QObject* parent);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

  private:
    const OfflineInterceptor* interceptor_;
};
