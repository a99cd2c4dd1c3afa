#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTextDocument>
#include <QUrl>
#include <string>

#include "page/page_folder.h"

namespace discstart {

// A page of the light engine. It reads what the page refers to from the page's folder alone
// (PageFolder), within the page's budgets, each file once whatever name the page gives it. It
// is filled on a worker: `readStyleSheet` reads the sheets before the page is parsed, `useStyleSheet`
// hands the measured ones to the engine (every other name gets nothing), `loadPictures` reads
// every picture, and `seal` makes sure the window's thread never reads a file for it afterwards.
// There, `keepPicturesAsPixmaps` turns each picture into the pixmap the view draws, once: given
// an image, the view converts it at every layout and paint.
class PageDocument : public QTextDocument {
    Q_OBJECT
  public:
    PageDocument(const PageFolder& folder, const QUrl& url, QObject* parent = nullptr);

    QUrl url() const { return url_; }
    const PageFolder& folder() const { return folder_; }
    // The text of the style sheet the engine will ask for by `name` (UTF-8, as the page writes
    // it), read within the page's budget; empty for none and for a file already read.
    std::string readStyleSheet(const std::string& name);
    void useStyleSheet(const std::string& name);
    void loadPictures();
    void seal() { sealed_ = true; }
    void keepPicturesAsPixmaps();

    QVariant loadResource(int type, const QUrl& name) override;

  private:
    QVariant readPicture(const QUrl& url);

    PageFolder folder_;
    QUrl url_;
    bool sealed_ = false;
    qint64 bytesRead_ = 0;
    qint64 pictureBytes_ = 0;
    QHash<QString, QVariant> files_;          // by path, what each picture file gave
    QHash<QUrl, QString> pictureNames_;       // the path of each picture's name
    QHash<QString, QByteArray> styleSheets_;  // by the name the engine asks for
    QHash<QString, bool> styleSheetFiles_;    // the paths read as style sheets
};

}  // namespace discstart
