#include "content/file_list.h"

#include <algorithm>

#include "content/native_name.h"
#include "system/system.h"

namespace discstart {

namespace {

bool NameLess(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    if (folded != 0) return folded < 0;
    return a < b;  // same name but for case: keep one fixed order
}

QChar Folded(QChar c) {
    return c.toCaseFolded();
}

// "*" any run, "?" any one unit; letter case ignored. Greedy with one backtrack point, so
// a long name against many stars stays linear enough.
bool WildcardMatch(const QString& pattern, const QString& name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern.at(p) == QLatin1Char('?') || Folded(pattern.at(p)) == Folded(name.at(n)))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) ++p;
    return p == pattern.size();
}

bool MatchesAny(const QStringList& patterns, const QString& name) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&name](const QString& pattern) { return WildcardMatch(pattern, name); });
}

// Names are matched as the window shows them, and kept with their exact bytes: QDir would decode
// them as UTF-8 and lose the bytes of a name that is not, so such a movie could never be opened again.
QStringList MatchingFiles(const QString& path, const QStringList& patterns) {
    QStringList names;
    const std::vector<std::string> files =
        ListFiles(NativePathBytes(path).toStdString(), [&patterns](const std::string& name) {
            return MatchesAny(patterns, NameFromNativeBytes(QByteArray::fromStdString(name)));
        });
    for (const std::string& name : files) names.append(NameFromNativeBytes(QByteArray::fromStdString(name)));
    return names;
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
    names_ = MatchingFiles(path_, patterns);
    std::sort(names_.begin(), names_.end(), NameLess);
}

}  // namespace discstart
