#include "page/page_folder.h"

#include <QFileInfo>
#include <algorithm>

#include "content/native_name.h"

#ifndef Q_OS_WIN
#include <climits>
#include <cstdlib>
#endif

namespace discstart {

namespace {

// Where the path really leads, or nothing when it does not exist. Never opens the file.
QByteArray ResolvedPath(const QString& path) {
#ifdef Q_OS_WIN
    return QFileInfo(path).canonicalFilePath().toUtf8();
#else
    char* resolved = ::realpath(NativePathBytes(path).constData(), nullptr);
    if (resolved == nullptr) return {};
    QByteArray bytes(resolved);
    std::free(resolved);
    return bytes;
#endif
}

// Cut at the last separator, not through QFileInfo: the name may carry bytes that are not UTF-8.
QString FolderOf(const QString& pagePath) {
    qsizetype cut = pagePath.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    cut = std::max(cut, pagePath.lastIndexOf(QLatin1Char('\\')));
#endif
    if (cut < 0) return QStringLiteral(".");
    // A root ("/", "D:\\") keeps its separator.
    const bool root = cut == 0 || pagePath.at(cut - 1) == QLatin1Char(':');
    return pagePath.left(root ? cut + 1 : cut);
}

}  // namespace

PageFolder::PageFolder(const QString& pagePath) : root_(ResolvedPath(FolderOf(pagePath))) {}

bool PageFolder::holdsPath(const QString& path) const {
    if (root_.isEmpty() || path.isEmpty() || path.contains(QChar(0))) return false;
    const QByteArray resolved = ResolvedPath(path);
    if (resolved.isEmpty()) return false;
    // Both spellings come resolved with "/" between names (Qt's on Windows too).
    const QByteArray prefix = root_.endsWith('/') ? root_ : root_ + '/';
    return resolved == root_ || resolved.startsWith(prefix);
}

bool PageFolder::holds(const QUrl& url) const {
    if (!url.isLocalFile() || !url.host().isEmpty()) return false;
    return holdsPath(LocalFilePath(url));
}

bool PageFolder::namesNothing(const QUrl& url) {
    return url.isLocalFile() && url.host().isEmpty() && ResolvedPath(LocalFilePath(url)).isEmpty();
}

}  // namespace discstart
