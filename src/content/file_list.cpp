#include "content/file_list.h"

#include <algorithm>

#include "content/native_name.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef __linux__
#include <sys/vfs.h>
#endif

#include "bytes/made_up.h"
#endif

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

#ifndef Q_OS_WIN

// A plain file by its kind, yet one the kernel makes up as it is read (a link to /proc or /sys):
// no film, picture or page, however it is named.
bool MadeUp(const QByteArray& folder, const char* name) {
#ifdef __linux__
    struct statfs system {};
    return ::statfs((folder + '/' + name).constData(), &system) != 0 ||
           MadeUpFileSystem(static_cast<unsigned long>(system.f_type));
#else
    (void)folder;
    (void)name;
    return false;
#endif
}

// Read with the file system's own bytes: QDir would decode names as UTF-8 and lose the
// bytes of a name that is not, so such a movie could never be opened again.
QStringList MatchingFiles(const QString& path, const QStringList& patterns) {
    QStringList names;
    const QByteArray folder = NativePathBytes(path);
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) return names;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (bytes.startsWith('.')) continue;  // dot files are hidden
        const QString name = NameFromNativeBytes(bytes);
        if (!MatchesAny(patterns, name)) continue;
        // Follows links: a link to a file counts, a broken or looping one does not.
        struct stat status {};
        if (::fstatat(dirFd, entry->d_name, &status, 0) != 0 || !S_ISREG(status.st_mode)) continue;
        if (MadeUp(folder, entry->d_name)) continue;
        names.append(name);
    }
    ::closedir(dir);
    return names;
}

#else

// Windows hides files by attribute, not by name: files marked hidden or system are left out,
// as the shell's own file lists do; QDir would list the system ones.
QStringList MatchingFiles(const QString& path, const QStringList& patterns) {
    QStringList names;
    QString query = path;
    if (!query.endsWith(QLatin1Char('\\')) && !query.endsWith(QLatin1Char('/'))) query += QLatin1Char('\\');
    query += QLatin1Char('*');
    WIN32_FIND_DATAW entry{};
    const HANDLE search =
        ::FindFirstFileExW(reinterpret_cast<const wchar_t*>(query.utf16()), FindExInfoBasic, &entry,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return names;
    constexpr DWORD leftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((entry.dwFileAttributes & leftOut) != 0) continue;
        const QString name = QString::fromWCharArray(entry.cFileName);
        if (MatchesAny(patterns, name)) names.append(name);
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return names;
}

#endif

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
