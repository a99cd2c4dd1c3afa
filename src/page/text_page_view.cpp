#include "text_page_view.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <utility>

#include "native_name.h"
#include "page_text.h"
#include "window_paint_watch.h"

// Reads what a page refers to. Offline it refuses everything that is not a local file,
// so a page can never make the program reach out, whatever a later Qt may learn to fetch.
namespace {

// A page on a disc is a few kilobytes; a huge file named like one is read only this far.
constexpr qint64 MaxPageBytes = 32 * 1024 * 1024;

// A file URL with a host names a network share.
bool IsLocalFileUrl(const QUrl& url) {
    return url.isLocalFile() && url.host().isEmpty();
}

}  // namespace

class LocalTextBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

    void setOffline(bool offline) { offline_ = offline; }
    // The document shown, whichever way it was opened: what relative names resolve against.
    // (A page handed over as text leaves source() empty, or on the page before.)
    void setCurrent(const QUrl& url) { current_ = url; }
    QUrl current() const { return current_; }

    // Local files are read by their exact bytes, so a folder or page whose name is not UTF-8
    // shows its pictures and style too.
    QVariant loadResource(int type, const QUrl& name) override {
        const QUrl url = current_.resolved(name);
        if (offline_ && !IsLocalFileUrl(url)) return {};
        if (!url.isLocalFile()) return QTextBrowser::loadResource(type, url);
        QFile file;
        if (!OpenNativeFile(file, LocalFilePath(url))) return {};
        const QByteArray bytes = file.read(MaxPageBytes);
        if (type == QTextDocument::HtmlResource) return DecodePageText(bytes);
        return bytes;
    }

  private:
    bool offline_ = false;
    QUrl current_;
};

namespace {

bool IsReadableFile(const QUrl& url) {
    if (!IsLocalFileUrl(url)) return false;
    const QFileInfo info(url.toLocalFile());
    return info.isFile() && info.isReadable();
}

}  // namespace

TextPageView::TextPageView(QWidget* parent) : PageView(parent), browser_(new LocalTextBrowser(this)) {
    browser_->setObjectName(QStringLiteral("pageBrowser"));
    // Links are ours to follow: only local pages open, nothing starts another program.
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    browser_->setReadOnly(true);
    connect(browser_, &QTextBrowser::anchorClicked, this, &TextPageView::followLink);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    // Inside a window not yet on screen, a page is read once the window has been painted:
    // the view starts hidden, and the window shows sooner.
    if (parent != nullptr && !window()->isVisible()) {
        waitingForWindow_ = true;
        new WindowPaintWatch(this, [this] {
            waitingForWindow_ = false;
            if (pendingPath_) open(*std::exchange(pendingPath_, std::nullopt));
        });
    }
}

void TextPageView::setOffline(bool offline) {
    browser_->setOffline(offline);
}

bool TextPageView::setDesignModeOff() {
    if (!hasDocument_) return false;
    browser_->setReadOnly(true);
    return true;
}

void TextPageView::navigate(const QString& path) {
    if (waitingForWindow_) {
        pendingPath_ = path;
        return;
    }
    open(path);
}

void TextPageView::open(const QString& path) {
    if (HasEscapedBytes(path)) {
        openByBytes(path);
        return;
    }
    openLocal(path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path));
}

// QTextBrowser's own loading goes through Qt's file names, which cannot carry bytes that are
// not UTF-8, so such a page is read by its bytes and handed over as text.
void TextPageView::openByBytes(const QString& path) {
    QFile file;
    if (!OpenNativeFile(file, path)) {
        reportLoad(false);
        return;
    }
    const QString html = DecodePageText(file.read(MaxPageBytes));
    browser_->setCurrent(LocalFileUrl(path));
    browser_->setHtml(html);
    hasDocument_ = true;
    reportLoad(true);
}

QUrl TextPageView::currentUrl() const {
    return pendingPath_ ? LocalFileUrl(*pendingPath_) : browser_->current();
}

void TextPageView::openLocal(const QUrl& url) {
    // A missing page leaves the view as it was instead of blanking it.
    if (!IsReadableFile(url)) {
        reportLoad(false);
        return;
    }
    browser_->setCurrent(url);
    browser_->setSource(url);
    hasDocument_ = true;
    reportLoad(true);
}

void TextPageView::followLink(const QUrl& link) {
    const QUrl target = browser_->current().resolved(link);
    if (!target.isLocalFile()) return;
    if (target.adjusted(QUrl::RemoveFragment) == browser_->current().adjusted(QUrl::RemoveFragment)) {
        browser_->scrollToAnchor(target.fragment());
        return;
    }
    open(LocalFilePath(target));
}

void TextPageView::reportLoad(bool ok) {
    QMetaObject::invokeMethod(
        this, [this, ok] { emit loadFinished(ok); }, Qt::QueuedConnection);
}
