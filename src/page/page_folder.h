#pragma once

#include <QString>
#include <QUrl>

#include "page/scan/page_access.h"

namespace discstart {

// The folder a page was opened from: all that page may read, by the one rule (PageAccess):
// the plain files of the folder and below, none hidden, none reached through a link that leads
// out of it. A name counts by where it really leads, so "..", absolute paths and links out of
// the folder are outside.
class PageFolder {
  public:
    // Holds nothing.
    PageFolder() = default;
    // The folder of the page at `pagePath`.
    explicit PageFolder(const QString& pagePath);

    bool isEmpty() const { return access_.isEmpty(); }
    // Why the page may not read what `url` names (a local file, no host), or None.
    PageRefusal refusal(const QUrl& url) const { return open(url).refusal; }
    bool holds(const QUrl& url) const { return refusal(url) == PageRefusal::None; }
    // The file, opened when the page may read it.
    PageFile open(const QUrl& url) const;
    PageFile openPath(const QString& path) const;
    // A local file URL naming nothing that exists.
    static bool namesNothing(const QUrl& url);

  private:
    PageAccess access_;
};

}  // namespace discstart
