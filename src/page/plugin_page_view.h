#pragma once

#include <QStringList>

#include "page/page_view.h"

namespace discstart {

// WebBrowser1 when the program asks for WebEngine: remembers what it is told until its
// window has been painted, then loads the WebEngine library, puts the real view inside
// itself and hands it what it remembered. Without a library it can load, it falls back to the
// text engine.
class PluginPageView : public PageView {
    Q_OBJECT
  public:
    // `folders`: where the library is looked for, in order.
    explicit PluginPageView(QStringList folders, QWidget* parent = nullptr);

    void setOffline(bool offline) override;
    bool setDesignModeOff() override;
    void navigate(const QString& path) override;
    QUrl currentUrl() const override;
    // "WebEngine" until the library has been tried, then the engine really running.
    QString engineName() const override;

    // Null until the window has been painted.
    PageView* engine() const { return engine_; }

  private:
    void loadEngine();

    QStringList folders_;
    PageView* engine_ = nullptr;
    bool offline_ = false;
    bool navigated_ = false;
    QString path_;
};

// The folders the program looks in: its own, then the one the library was built in.
QStringList WebEnginePluginFolders();

// Whether the launcher runs on the machine's own Qt, whose WebEngine it may then load from any of
// the folders; one that carries its Qt beside it (a disc's) loads only the WebEngine carried with
// it. `qtCore`: the file QtCore was loaded from; both paths resolved.
bool IsMachineQt(const QByteArray& qtCore, const QByteArray& programFolder);
bool RunsOnMachineQt();

}  // namespace discstart
