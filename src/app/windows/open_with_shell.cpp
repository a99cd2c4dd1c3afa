#include "app/windows/open_with_shell.h"

#include <QDir>
#include <QWidget>

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace discstart {

namespace {

const QString ExtendedPrefix = QStringLiteral("\\\\?\\");

QString ExtendedLengthForm(const QString& path) {
    if (path.startsWith(ExtendedPrefix)) return path;
    if (path.startsWith(QLatin1String("\\\\"))) return ExtendedPrefix + QLatin1String("UNC\\") + path.mid(2);
    return ExtendedPrefix + path;
}

QString ShortNameLookup(const QString& path) {
    const std::wstring name = path.toStdWString();
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetShortPathNameW(name.c_str(), buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return QString::fromStdWString(buffer);
        }
        buffer.resize(length);
    }
}

QString WithoutExtendedPrefix(const QString& path) {
    if (path.startsWith(ExtendedPrefix + QLatin1String("UNC\\"))) return QLatin1String("\\\\") + path.mid(8);
    if (path.startsWith(ExtendedPrefix)) return path.mid(ExtendedPrefix.size());
    return path;
}

// Windows gives the short form of a path past MAX_PATH through its \\?\ form; Wine only that of
// a shorter one: there the folders are shortened from the top, one lookup under MAX_PATH each.
QString ShortPathOf(const QString& path) {
    if (const QString found = ShortNameLookup(ExtendedLengthForm(path)); !found.isEmpty())
        return WithoutExtendedPrefix(found);
    const QStringList parts = path.split(QLatin1Char('\\'));
    const qsizetype rootParts = path.startsWith(QLatin1String("\\\\")) ? 4 : 1;  // \\server\share or C:
    if (parts.size() <= rootParts) return {};
    QString shortened = parts.mid(0, rootParts).join(QLatin1Char('\\'));
    for (qsizetype i = rootParts; i < parts.size(); ++i) {
        const QString next = shortened + QLatin1Char('\\') + parts[i];
        if (next.size() >= MAX_PATH) return {};
        const QString found = ShortNameLookup(next);
        if (found.isEmpty()) return {};
        shortened = found;
    }
    return shortened;
}

INT_PTR Execute(HWND owner, const QString& path) {
    const std::wstring file = path.toStdWString();
    return reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(owner, nullptr, file.c_str(), nullptr, L"C:\\", SW_SHOWNORMAL));
}

bool Started(INT_PTR result) {
    return result > 32;
}

// What a path the shell cannot take (too long) gives; no other spelling helps the rest.
bool NotFound(INT_PTR result) {
    return result == SE_ERR_FNF || result == SE_ERR_PNF;
}

}  // namespace

QStringList LongPathAlternatives(const QString& path, const QString& shortPath) {
    QStringList forms;
    if (!shortPath.isEmpty() && shortPath != path) forms << shortPath;
    if (path.size() >= MAX_PATH && !path.startsWith(ExtendedPrefix)) forms << ExtendedLengthForm(path);
    return forms;
}

bool OpenWithShell(const QString& path, QWidget* owner) {
    const HWND hwnd = owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
    const QString native = QDir::toNativeSeparators(path);
    const INT_PTR result = Execute(hwnd, native);
    if (Started(result)) return true;
    if (!NotFound(result)) return false;
    // Each is tried: a short name's extension has three letters at most, so a longer one finds
    // no associated program there, where the \\?\ form may.
    for (const QString& form : LongPathAlternatives(native, ShortPathOf(native))) {
        if (Started(Execute(hwnd, form))) return true;
    }
    return false;
}

}  // namespace discstart
