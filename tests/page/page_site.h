#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <memory>

#include "page/page_view.h"

namespace discstart {

// A disc folder: intro.htm with a red 40x30 cover.png beside it and a link to second.htm.
class LocalSite {
  public:
    static constexpr int kImageWidth = 40;

    LocalSite();
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Writes intro.htm with extra body text (raw HTML) after the cover and the link.
    QString writeIntro(const QString& head, const QString& body) const;
    void write(const QString& name, const QByteArray& bytes) const;

  private:
    QTemporaryDir dir_;
};

// A shown top-level window holding a shown page view of the engine under test.
struct PageHost {
    PageHost();
    QWidget window;
    PageView* view;
};

// Navigates and waits for the load to end; returns the result loadFinished carried.
bool NavigateAndWait(PageView& view, const QString& path);
// Clicks the link and reports how many loads finished within a short while (the first
// load is waited for in full).
int ClickAndCountLoads(PageView& view, const QString& href, bool expectLoad);

}  // namespace discstart
