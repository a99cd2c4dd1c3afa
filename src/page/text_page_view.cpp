#include "page/text_page_view.h"

#include <QTextBrowser>
#include <QThread>
#include <QVBoxLayout>
#include <utility>

#include "content/native_name.h"
#include "content/picture.h"
#include "page/window_paint_watch.h"

namespace discstart {

TextPageView::TextPageView(QWidget* parent) : PageView(parent), browser_(new QTextBrowser(this)) {
    browser_->setObjectName(QStringLiteral("pageBrowser"));
    // Links are ours to follow: only pages of the folder open, nothing starts another program.
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
    if (document_ == nullptr) return false;
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
    // Pictures are decoded on the worker: libjpeg gets its bounds from this thread first.
    BoundPictureDecoders();
    requested_ = path.isEmpty() ? QUrl() : LocalFileUrl(path);
    const PageRequest request{path, folder, browser_->font(), QThread::currentThread()};
    loading_.start(
        this, [request] { return LoadPage(request); },
        [this](PageDocumentPointer document) { show(std::move(document)); });
}

// A page that could not be read leaves the view as it was instead of blanking it.
void TextPageView::show(PageDocumentPointer document) {
    requested_.reset();
    if (document == nullptr) {
        emit loadFinished(false);
        return;
    }
    PageDocument* shown = document.release();
    shown->setParent(this);
    shown->keepPicturesAsPixmaps();
    browser_->setDocument(shown);
    if (document_ != nullptr) document_->deleteLater();
    document_ = shown;
    emit loadFinished(true);
}

QUrl TextPageView::currentUrl() const {
    if (pendingPath_) return LocalFileUrl(*pendingPath_);
    if (requested_) return *requested_;
    return document_ != nullptr ? document_->url() : QUrl();
}

void TextPageView::followLink(const QUrl& link) {
    if (document_ == nullptr) return;
    const QUrl target = document_->url().resolved(link);
    if (!document_->folder().holds(target)) return;
    if (target.adjusted(QUrl::RemoveFragment) == document_->url().adjusted(QUrl::RemoveFragment)) {
        browser_->scrollToAnchor(target.fragment());
        return;
    }
    open(LocalFilePath(target), document_->folder());
}

}  // namespace discstart
