#pragma once

#include <optional>

#include "page_folder.h"
#include "page_view.h"

class LocalTextBrowser;

// The light engine: QTextBrowser shows simple HTML at once and has no network code. In a
// window not yet painted it reads the page only after that paint.
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
    void openLocal(const QUrl& url, const PageFolder& folder);
    void openByBytes(const QString& path, const PageFolder& folder);
    void followLink(const QUrl& link);
    void reportLoad(bool ok);

    LocalTextBrowser* browser_;
    bool hasDocument_ = false;
    bool waitingForWindow_ = false;
    std::optional<QString> pendingPath_;  // asked for while waiting
};
