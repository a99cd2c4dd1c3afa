#include "page_site.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "page_probe.h"

namespace discstart {

namespace {

constexpr int kLoadTimeoutMs = 20000;

}  // namespace

LocalSite::LocalSite() {
    QImage cover(kImageWidth, 30, QImage::Format_RGB32);
    cover.fill(Qt::red);
    cover.save(path(QStringLiteral("cover.png")), "PNG");
    write(QStringLiteral("second.htm"), "<html><body><p id=\"second\">second page</p></body></html>");
}

QString LocalSite::writeIntro(const QString& head, const QString& body) const {
    const QString html = QStringLiteral(
                             "<html><head><title>intro</title>%1</head><body>"
                             "<img id=\"cover\" src=\"cover.png\"><p><a href=\"second.htm\">next</a></p>%2"
                             "</body></html>")
                             .arg(head, body);
    write(QStringLiteral("intro.htm"), html.toUtf8());
    return path(QStringLiteral("intro.htm"));
}

void LocalSite::write(const QString& name, const QByteArray& bytes) const {
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

PageHost::PageHost() : view(CreateTestedView(&window)) {
    window.resize(500, 420);
    view->setGeometry(10, 10, 448, 364);
    window.show();
}

bool NavigateAndWait(PageView& view, const QString& path) {
    QSignalSpy spy(&view, &PageView::loadFinished);
    view.navigate(path);
    if (!spy.wait(kLoadTimeoutMs)) return false;
    return spy.first().first().toBool();
}

int ClickAndCountLoads(PageView& view, const QString& href, bool expectLoad) {
    QSignalSpy spy(&view, &PageView::loadFinished);
    ClickLink(view, href);
    if (expectLoad) spy.wait(kLoadTimeoutMs);
    QTest::qWait(300);
    return static_cast<int>(spy.count());
}

}  // namespace discstart
