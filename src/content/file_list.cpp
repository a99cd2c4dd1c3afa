#include "file_list.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool NameLess(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    if (folded != 0) return folded < 0;
    return a < b;  // same name but for case: keep one fixed order
}

}  // namespace

void FileList::setPath(const QString& path) {
    path_ = path;
    stale_ = true;
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern;
    stale_ = true;
}

QString FileList::List(int i) const {
    const QStringList& all = names();
    if (i < 0 || i >= all.size()) return {};
    return all.at(i);
}

const QStringList& FileList::names() const {
    if (stale_) refill();
    return names_;
}

void FileList::refill() const {
    stale_ = false;
    names_.clear();
    if (path_.isEmpty()) return;
    const QStringList patterns = pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (patterns.isEmpty()) return;

    // Without QDir::System, FIFOs, sockets, devices and broken or looping links are left out;
    // without QDir::Hidden, dot files are. Name filters ignore case unless told otherwise.
    const QDir dir(path_);
    const QFileInfoList entries =
        dir.entryInfoList(patterns, QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        if (entry.isFile() && !entry.isHidden()) names_.append(entry.fileName());
    }
    std::sort(names_.begin(), names_.end(), NameLess);
}
