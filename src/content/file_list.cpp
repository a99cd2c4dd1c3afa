#include "content/file_list.h"

#include <QStringList>
#include <algorithm>

#include "content/native_name.h"
#include "system/system.h"

namespace discstart {

namespace {

// By the names as shown; names equal but for case in one fixed order.
bool NameLess(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    if (folded != 0) return folded < 0;
    return a < b;
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

}  // namespace

void FileList::setPath(const std::string& path) {
    path_ = path;
    stale_ = true;
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern;
    stale_ = true;
}

std::string FileList::List(int i) const {
    const std::vector<std::string>& all = names();
    if (i < 0 || std::size_t(i) >= all.size()) return {};
    return all[std::size_t(i)];
}

const std::vector<std::string>& FileList::names() const {
    if (stale_) refill();
    return names_;
}

// Names are matched and sorted as the window shows them, and kept with their exact bytes.
void FileList::refill() const {
    stale_ = false;
    names_.clear();
    if (path_.empty()) return;
    const QStringList patterns = pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (patterns.isEmpty()) return;
    std::vector<std::pair<QString, std::string>> found;
    for (std::string& name : ListFiles(
             path_, [&patterns](const std::string& name) { return MatchesAny(patterns, QtPath(name)); })) {
        found.emplace_back(QtPath(name), std::move(name));
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return NameLess(a.first, b.first); });
    for (auto& entry : found) names_.push_back(std::move(entry.second));
}

}  // namespace discstart
