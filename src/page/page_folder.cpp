#include "page/page_folder.h"

#include "content/native_name.h"
#include "system/system.h"

namespace discstart {

namespace {

// Cut at the last separator, not through QFileInfo: the name may carry bytes that are not UTF-8.
QString FolderOf(const QString& pagePath) {
    qsizetype cut = -1;
    for (qsizetype i = 0; i < pagePath.size(); ++i) {
        if (IsPathSeparator(pagePath.at(i).toLatin1())) cut = i;  // '\0' for what is not Latin-1
    }
    if (cut < 0) return QStringLiteral(".");
    // A root ("/", "D:\\") keeps its separator.
    const bool root = cut == 0 || pagePath.at(cut - 1) == QLatin1Char(':');
    return pagePath.left(root ? cut + 1 : cut);
}

std::string Native(const QString& path) {
    return NativePathBytes(path).toStdString();
}

}  // namespace

PageFolder::PageFolder(const QString& pagePath) : access_(Native(FolderOf(pagePath)), DiskFiles()) {}

PageFile PageFolder::openPath(const QString& path) const {
    if (path.isEmpty() || path.contains(QChar(0))) return {PageRefusal::Missing, nullptr, 0};
    const auto below = access_.below(Native(path));
    if (!below) return {PageRefusal::Outside, nullptr, 0};
    return access_.open(*below);
}

PageFile PageFolder::open(const QUrl& url) const {
    if (!url.isLocalFile() || !url.host().isEmpty()) return {PageRefusal::Outside, nullptr, 0};
    return openPath(LocalFilePath(url));
}

bool PageFolder::namesNothing(const QUrl& url) {
    return url.isLocalFile() && url.host().isEmpty() && !DiskFiles().realPath(Native(LocalFilePath(url)));
}

}  // namespace discstart
