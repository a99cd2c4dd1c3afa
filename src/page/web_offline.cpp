#include "web_offline.h"

bool IsOfflineScheme(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("file") || scheme == QLatin1String("data") ||
           scheme == QLatin1String("qrc");
}

void OfflineInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (offline_ && !IsOfflineScheme(info.requestUrl())) info.block(true);
}

DiscWebPage::DiscWebPage(QWebEngineProfile* profile, const OfflineInterceptor* interceptor, QObject* parent)
    : QWebEnginePage(profile, parent), interceptor_(interceptor) {}

bool DiscWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (IsOfflineScheme(url) || url.scheme() == QLatin1String("about"))
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (!web || interceptor_->isOffline()) return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}
