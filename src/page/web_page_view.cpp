#include "web_page_view.h"

#include <QCoreApplication>
#include <QEvent>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "web_offline.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QEvent::Type StartEngineEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

void AllowWebEngineAsRoot() {
#ifdef Q_OS_UNIX
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
#endif
}

WebPageView::WebPageView(QWidget* parent) : PageView(parent), interceptor_(new OfflineInterceptor(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    watchWindow();
}

WebPageView::~WebPageView() {
    // A profile must outlive its pages.
    delete view_;
    delete profile_;
}

void WebPageView::setOffline(bool offline) {
    interceptor_->setOffline(offline);
    if (view_ != nullptr) applyOffline();
}

void WebPageView::applyOffline() {
    // Chromium keeps a file page off the web unless told otherwise; the interceptor is the
    // guard that also holds for whatever else a page may find to load.
    view_->page()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls,
                                            !interceptor_->isOffline());
}

bool WebPageView::setDesignModeOff() {
    if (view_ == nullptr || !hasDocument_) return false;
    view_->page()->runJavaScript(QStringLiteral("document.designMode = \"off\";"));
    return true;
}

void WebPageView::navigate(const QString& path) {
    pendingUrl_ = path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
    if (view_ != nullptr) view_->load(pendingUrl_);
}

QUrl WebPageView::currentUrl() const {
    return view_ != nullptr ? view_->url() : pendingUrl_;
}

bool WebPageView::event(QEvent* event) {
    if (event->type() == StartEngineEvent()) {
        createEngine();
        return true;
    }
    if (event->type() == QEvent::ParentChange) watchWindow();
    return PageView::event(event);
}

bool WebPageView::eventFilter(QObject* watched, QEvent* event) {
    // Starting the engine blocks for a moment: wait for the window's first paint so the
    // window is on screen before that.
    if (watched == watchedWindow_ && event->type() == QEvent::Paint) scheduleEngine();
    return PageView::eventFilter(watched, event);
}

void WebPageView::watchWindow() {
    if (view_ != nullptr || watchedWindow_ == window()) return;
    if (watchedWindow_ != nullptr) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = window();
    watchedWindow_->installEventFilter(this);
    if (window()->isVisible()) scheduleEngine();
}

void WebPageView::scheduleEngine() {
    if (view_ != nullptr || engineScheduled_) return;
    engineScheduled_ = true;
    // Posted, so the paint reaches the screen before the engine starts; at low priority, so
    // what the window queued on its first paint (filling the panel) runs before it blocks.
    QCoreApplication::postEvent(this, new QEvent(StartEngineEvent()), Qt::LowEventPriority);
}

void WebPageView::createEngine() {
    if (view_ != nullptr) return;
    if (watchedWindow_ != nullptr) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = nullptr;
    AllowWebEngineAsRoot();

    // Off the record: no cache, cookies or history reach the disk.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setUrlRequestInterceptor(interceptor_);

    view_ = new QWebEngineView(this);
    auto* page = new DiscWebPage(profile_, interceptor_, view_);
    page->settings()->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    view_->setPage(page);
    applyOffline();
    layout()->addWidget(view_);
    // A refused navigation only stops, and the shown page stays: that is no load.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
            hasDocument_ = true;
            emit loadFinished(true);
        } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
            emit loadFinished(false);
        }
    });
    emit engineCreated();
    if (pendingUrl_.isValid()) view_->load(pendingUrl_);
}
