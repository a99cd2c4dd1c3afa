#pragma once

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

#include "page/page_folder.h"

namespace discstart {

// What a disc page may load: its own folder's files (links resolved) and inline data.
// Nothing else, whatever the page asks and whether or not the program set it offline.
bool PageMayLoad(const QUrl& url, const PageFolder& folder);

// Chromium reaches the network around any request interceptor: WebRTC opens its own UDP and
// TCP sockets, resolves STUN names and announces itself by mDNS. Adds the switches that shut
// those doors to QTWEBENGINE_CHROMIUM_FLAGS; call before the first profile exists.
void KeepWebEngineOffline();

// Sees every request of the profile, sub-resources, scripts' reads and pre-loads included.
class OfflineInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // The folder of the page the program asked for; pages it links to share it.
    void setFolder(const PageFolder& folder) { folder_ = folder; }
    bool mayLoad(const QUrl& url) const { return PageMayLoad(url, folder_); }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

  private:
    PageFolder folder_;
};

// Keeps navigation inside the folder: schemes handed to other programs (mailto and the
// like), the web and files elsewhere are refused, and the shown page stays.
class DiscWebPage : public QWebEnginePage {
    Q_OBJECT
  public:
    DiscWebPage(QWebEngineProfile* profile, const OfflineInterceptor* interceptor, QObject* parent);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

  private:
    const OfflineInterceptor* interceptor_;
};

}  // namespace discstart
