#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include "page_probe.h"
#include "page_site.h"

namespace discstart {

PageView* CreateTestedView(QWidget* parent) {
    return CreatePageView(PageEngine::Text, parent);
}

bool EngineRunsScripts() {
    return false;
}

QString PageTitle(PageView& view) {
    return view.findChild<QTextBrowser*>()->documentTitle();
}

bool CoverImageShown(PageView& view) {
    // The cover is pure red and the page has nothing else red: a drawn red run as wide as
    // the picture means it was found and read.
    auto* browser = view.findChild<QTextBrowser*>();
    const QImage shot = browser->viewport()->grab().toImage();
    for (int y = 0; y < shot.height(); ++y) {
        int run = 0;
        for (int x = 0; x < shot.width(); ++x) {
            run = shot.pixelColor(x, y) == QColor(Qt::red) ? run + 1 : 0;
            if (run == LocalSite::kImageWidth) return true;
        }
    }
    return false;
}

void ClickLink(PageView& view, const QString& href) {
    auto* browser = view.findChild<QTextBrowser*>();
    const QTextDocument* doc = browser->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href) continue;
            QTextCursor cursor(block);
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            const QPoint point = browser->cursorRect(cursor).center();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, point);
            return;
        }
    }
    ADD_FAILURE() << "no link to " << href.toStdString();
}

}  // namespace discstart
