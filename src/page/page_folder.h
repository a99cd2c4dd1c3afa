#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace discstart {

// The folder a page was opened from: all that page may read. A name counts by where it
// really leads, so "..", absolute paths and links out of the folder are outside.
class PageFolder {
  public:
    // Holds nothing.
    PageFolder() = default;
    // The folder of the page at `pagePath`, links resolved.
    explicit PageFolder(const QString& pagePath);

    bool isEmpty() const { return root_.isEmpty(); }
    // A local file (no host) that exists and lies in the folder or below it.
    bool holds(const QUrl& url) const;
    bool holdsPath(const QString& path) const;
    // A local file URL naming nothing that exists.
    static bool namesNothing(const QUrl& url);

  private:
    QByteArray root_;  // resolved, no separator at the end unless it is the file system's root
};

}  // namespace discstart
