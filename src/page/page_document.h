#pragma once

#include <QHash>
#include <QString>
#include <QTextDocument>
#include <QUrl>

#include "page/page_folder.h"

namespace discstart {

// A page of the light engine. It reads what the page refers to from the page's folder alone,
// within the page's budgets, each file once whatever query it is named with. It is filled on a
// worker: `loadPictures` reads every picture there, and `seal` makes sure the window's thread
// never reads a file for it afterwards. There, `keepPicturesAsPixmaps` turns each picture into
// the pixmap the view draws, once: given an image, the view converts it at every layout and paint.
class PageDocument : public QTextDocument {
    Q_OBJECT
  public:
    // `styleRules`: the rules of the page's own style sheets, which linked ones add to.
    PageDocument(const PageFolder& folder, const QUrl& url, int styleRules = 0, QObject* parent = nullptr);

    QUrl url() const { return url_; }
    const PageFolder& folder() const { return folder_; }
    void loadPictures();
    void seal() { sealed_ = true; }
    void keepPicturesAsPixmaps();

    QVariant loadResource(int type, const QUrl& name) override;

  private:
    QVariant read(int type, const QUrl& url);

    PageFolder folder_;
    QUrl url_;
    bool sealed_ = false;
    qint64 bytesRead_ = 0;
    qint64 pictureBytes_ = 0;
    int styleRules_ = 0;
    QHash<QString, QVariant> files_;     // by path, what each file gave
    QHash<QUrl, QString> pictureNames_;  // the path of each picture's name
};

}  // namespace discstart
