#include <gtest/gtest.h>

#include <QTest>
#include <QWebEngineView>

#include "page/web_page_view.h"
#include "page_probe.h"
#include "page_site.h"
#include "web_script.h"

namespace discstart {

PageView* CreateTestedView(QWidget* parent) {
    return new WebPageView(parent);
}

bool EngineRunsScripts() {
    return true;
}

QString PageTitle(PageView& view) {
    return RunScript(view, QStringLiteral("document.title")).toString();
}

QVariant RunScript(PageView& view, const QString& script) {
    QWebEngineView* engine = view.findChild<QWebEngineView*>();
    if (engine == nullptr) return {};
    QVariant result;
    bool done = false;
    engine->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000)) return {};
    return result;
}

bool CoverImageShown(PageView& view) {
    const QVariant width =
        RunScript(view, QStringLiteral("(() => { const i = document.getElementById('cover');"
                                       " return i && i.complete ? i.naturalWidth : -1; })()"));
    return width.toInt() == LocalSite::kImageWidth;
}

void ClickLink(PageView& view, const QString& href) {
    const QVariant found = RunScript(view, QStringLiteral("(() => { const a = Array.from(document.links)"
                                                          ".find(l => l.getAttribute('href') === '%1');"
                                                          " if (a) a.click(); return !!a; })()")
                                               .arg(href));
    if (!found.toBool()) ADD_FAILURE() << "no link to " << href.toStdString();
}

}  // namespace discstart
