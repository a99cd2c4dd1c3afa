#pragma once

#include <QUrl>
#include <optional>

#include "content/background.h"
#include "page/page_folder.h"
#include "page/page_load.h"
#include "page/page_view.h"

class QTextBrowser;

namespace discstart {

// The light engine: QTextBrowser shows simple HTML and has no network code. A page is read and
// parsed on a worker and shown once ready, so no page can freeze the window. In a window not yet
// painted it is read only after that paint.
class TextPageView : public PageView {
    Q_OBJECT
  public:
    explicit TextPageView(QWidget* parent = nullptr);

    void setOffline(bool offline) override;
    bool setDesignModeOff() override;
    void navigate(const QString& path) override;
    QUrl currentUrl() const override;
    QString engineName() const override { return QStringLiteral("Text"); }

  private:
    // `folder`: what the page may read once it is shown.
    void open(const QString& path, const PageFolder& folder);
    void show(PageDocumentPointer document);
    void followLink(const QUrl& link);

    QTextBrowser* browser_;
    PageDocument* document_ = nullptr;  // shown
    Background<PageDocumentPointer> loading_;
    std::optional<QUrl> requested_;  // the page being read
    bool waitingForWindow_ = false;
    std::optional<QString> pendingPath_;  // asked for while waiting
};

}  // namespace discstart
