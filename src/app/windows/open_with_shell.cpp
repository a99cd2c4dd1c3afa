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

QString ShortPathOf(const QString& path) {
    // The \\?\ form, so that a path past MAX_PATH is looked up at all.
    const std::wstring name = ExtendedLengthForm(path).toStdWString();
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetShortPathNameW(name.c_str(), buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(length);
    }
    QString found = QString::fromStdWString(buffer);
    if (found.startsWith(ExtendedPrefix + QLatin1String("UNC\\")))
        return QLatin1String("\\\\") + found.mid(8);
    if (found.startsWith(ExtendedPrefix)) return found.mid(ExtendedPrefix.size());
    return found;
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
    INT_PTR result = Execute(hwnd, native);
    if (Started(result)) return true;
    if (!NotFound(result)) return false;
    for (const QString& form : LongPathAlternatives(native, ShortPathOf(native))) {
        result = Execute(hwnd, form);
        if (Started(result)) return true;
        if (!NotFound(result)) return false;
    }
    return false;
}

}  // namespace discstart
