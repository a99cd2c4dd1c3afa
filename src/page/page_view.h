#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

namespace discstart {

// WebBrowser1: the window's HTML view. A plain widget to the window; the engine behind
// it is QTextBrowser (always built) or Qt WebEngine (optional). Only this folder sees
// an engine's headers.
class PageView : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

    // Offline: nothing is fetched but local files. Both engines are offline and keep to the
    // folder of the page navigate() was given, whatever this is set to.
    virtual void setOffline(bool offline) = 0;
    // Makes the current document read-only. False when there is no document yet.
    virtual bool setDesignModeOff() = 0;
    // Starts loading a local file path (native form) while the view may stay hidden.
    virtual void navigate(const QString& path) = 0;
    virtual QUrl currentUrl() const = 0;
    virtual QString engineName() const = 0;

  signals:
    // Emitted from the event loop, never from inside navigate(), whichever engine runs.
    void loadFinished(bool ok);
};

enum class PageEngine { Text, WebEngine };

// Call before the QApplication exists: WebEngine needs shared OpenGL contexts, and as
// root its sandbox off. Does nothing when WebEngine is not built in.
void PreparePageEngines();

// The engine chosen when the program was configured: the text engine unless the build
// asked for WebEngine.
PageEngine DefaultPageEngine();
bool PageEngineAvailable(PageEngine engine);
// Falls back to the text engine when the requested one was not built in.
PageView* CreatePageView(PageEngine engine, QWidget* parent);

}  // namespace discstart
