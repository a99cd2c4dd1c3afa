#include "page/web_offline.h"

#include <QByteArray>
#include <QList>
#include <algorithm>

namespace discstart {

bool PageMayLoad(const QUrl& url, const PageFolder& folder) {
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("file")) return folder.holds(url);
    // Made by the page itself from what it already holds.
    return scheme == QLatin1String("data") || scheme == QLatin1String("blob");
}

void KeepWebEngineOffline() {
    // Qt splits the variable at spaces outside quotes.
    static const QByteArray switches[] = {
        // No UDP at all: no STUN, no TURN over UDP, no local addresses gathered.
        "--force-webrtc-ip-handling-policy=disable_non_proxied_udp",
        // What is left (TURN over TCP, pre-connects, anything the interceptor does not see)
        // goes to a proxy at the broadcast address, which the kernel refuses before a packet
        // is sent...
        "--proxy-server=http://255.255.255.255:9",
        // ...loopback and link-local addresses too...
        "--proxy-bypass-list=<-loopback>",
        // ...and no name is looked up, not even by WebRTC, which asks before the proxy.
        "\"--host-resolver-rules=MAP * ~NOTFOUND\"",
    };
    // WebRTC's mDNS responder joins the mDNS group, which sends a membership report.
    const QByteArray disabledFeature = "WebRtcHideLocalIpsWithMdns";
    const QByteArray disableFeatures = "--disable-features=";

    QList<QByteArray> flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ');
    flags.removeAll(QByteArray());
    for (const QByteArray& flag : switches) {
        if (!flags.contains(flag)) flags.append(flag);
    }
    // Chromium keeps the last of a repeated switch: add to a list already given.
    const auto given = std::find_if(flags.begin(), flags.end(),
                                    [&](const QByteArray& flag) { return flag.startsWith(disableFeatures); });
    if (given == flags.end()) {
        flags.append(disableFeatures + disabledFeature);
    } else if (!given->mid(disableFeatures.size()).split(',').contains(disabledFeature)) {
        *given += ',' + disabledFeature;
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.join(' '));
}

void OfflineInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!mayLoad(info.requestUrl())) info.block(true);
}

DiscWebPage::DiscWebPage(QWebEngineProfile* profile, const OfflineInterceptor* interceptor, QObject* parent)
    : QWebEnginePage(profile, parent), interceptor_(interceptor) {}

bool DiscWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // A missing file goes on to fail as a load (the interceptor refuses it); anything else the
    // page may not load is refused here, and the shown page stays.
    const bool mayTry =
        interceptor_->mayLoad(url) || PageFolder::namesNothing(url) || url.scheme() == QLatin1String("about");
    if (!mayTry) return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

}  // namespace discstart
