#include "text_page_view.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <utility>

#include "native_name.h"
#include "page_folder.h"
#include "page_text.h"
#include "window_paint_watch.h"

namespace {

// A page on a disc is a few kilobytes; a huge file named like one is read only this far.
constexpr qint64 MaxPageBytes = 32 * 1024 * 1024;

// What the document gets for a resource it may not have or cannot use. Never an empty value:
// the document would then read the name itself, relative to anywhere, and so would its picture
// handler for a picture that does not decode.
QVariant Nothing(int type) {
    if (type == QTextDocument::ImageResource) {
        QImage pixel(1, 1, QImage::Format_ARGB32);
        pixel.fill(Qt::transparent);
        return pixel;
    }
    if (type == QTextDocument::HtmlResource) return QString();
    return QByteArray();
}

}  // namespace

// Reads what a page refers to: files of the page's folder and below, nothing else, so a page
// can neither show the user's files nor make the program reach out, whatever a later Qt may
// learn to fetch.
class LocalTextBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

    void setFolder(const PageFolder& folder) { folder_ = folder; }
    const PageFolder& folder() const { return folder_; }
    // The document shown, whichever way it was opened: what relative names resolve against.
    // (A page handed over as text leaves source() empty, or on the page before.)
    void setCurrent(const QUrl& url) { current_ = url; }
    QUrl current() const { return current_; }

    // Local files are read by their exact bytes, so a folder or page whose name is not UTF-8
    // shows its pictures and style too.
    QVariant loadResource(int type, const QUrl& name) override {
        const QUrl url = current_.resolved(name);
        QFile file;
        if (!folder_.holds(url) || !OpenNativeFile(file, LocalFilePath(url))) return Nothing(type);
        const QByteArray bytes = file.read(MaxPageBytes);
        if (type == QTextDocument::HtmlResource) return DecodePageText(bytes);
        if (type != QTextDocument::ImageResource) return bytes;
        const QImage picture = QImage::fromData(bytes);
        return picture.isNull() ? Nothing(type) : picture;
    }

  private:
    PageFolder folder_;
    QUrl current_;
};

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
            if (pendingPath_) navigate(*std::exchange(pendingPath_, std::nullopt));
        });
    }
}

void TextPageView::setOffline(bool) {
    // Offline whether or not it is asked to be: the view reads the page's folder alone.
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
    // The page the program asks for sets the folder; the pages it links to share it.
    open(path, path.isEmpty() ? PageFolder() : PageFolder(path));
}

void TextPageView::open(const QString& path, const PageFolder& folder) {
    if (HasEscapedBytes(path)) {
        openByBytes(path, folder);
        return;
    }
    openLocal(path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path), folder);
}

// QTextBrowser's own loading goes through Qt's file names, which cannot carry bytes that are
// not UTF-8, so such a page is read by its bytes and handed over as text.
void TextPageView::openByBytes(const QString& path, const PageFolder& folder) {
    QFile file;
    if (!folder.holdsPath(path) || !OpenNativeFile(file, path)) {
        reportLoad(false);
        return;
    }
    const QString html = DecodePageText(file.read(MaxPageBytes));
    browser_->setFolder(folder);
    browser_->setCurrent(LocalFileUrl(path));
    browser_->setHtml(html);
    hasDocument_ = true;
    reportLoad(true);
}

QUrl TextPageView::currentUrl() const {
    return pendingPath_ ? LocalFileUrl(*pendingPath_) : browser_->current();
}

void TextPageView::openLocal(const QUrl& url, const PageFolder& folder) {
    // A missing page leaves the view as it was instead of blanking it.
    const QFileInfo info(url.toLocalFile());
    if (!folder.holds(url) || !info.isFile() || !info.isReadable()) {
        reportLoad(false);
        return;
    }
    browser_->setFolder(folder);
    browser_->setCurrent(url);
    browser_->setSource(url);
    hasDocument_ = true;
    reportLoad(true);
}

void TextPageView::followLink(const QUrl& link) {
    const QUrl target = browser_->current().resolved(link);
    if (!browser_->folder().holds(target)) return;
    if (target.adjusted(QUrl::RemoveFragment) == browser_->current().adjusted(QUrl::RemoveFragment)) {
        browser_->scrollToAnchor(target.fragment());
        return;
    }
    open(LocalFilePath(target), browser_->folder());
}

void TextPageView::reportLoad(bool ok) {
    QMetaObject::invokeMethod(
        this, [this, ok] { emit loadFinished(ok); }, Qt::QueuedConnection);
}
