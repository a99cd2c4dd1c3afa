#include "content/native_name.h"

#include <QStringDecoder>
#include <QUrl>
#include <string_view>

#include "system/system.h"
#include "text/display_text.h"

namespace discstart {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool IsEscape(char16_t unit) {
    return unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF;
}

}  // namespace

QString NameFromNativeBytes(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    std::string_view rest(bytes.constData(), std::size_t(bytes.size()));
    while (!rest.empty()) {
        std::size_t valid = 0;
        while (valid < rest.size()) {
            const std::size_t length = Utf8SequenceLength(rest.substr(valid));
            if (length == 0) break;
            valid += length;
        }
        if (valid == 0) {
            name += QChar(char16_t(EscapeBase + static_cast<unsigned char>(rest.front())));
            rest.remove_prefix(1);
            continue;
        }
        // A byte order mark at the start of a run is a character of the name all the same.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        name += utf8.decode(QByteArrayView(rest.data(), qsizetype(valid)));
        rest.remove_prefix(valid);
    }
    return name;
}

QByteArray NativePathBytes(const QString& path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype plain = 0;  // start of the run not yet converted
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path.at(i).unicode();
        if (!IsEscape(unit) || (i > 0 && path.at(i - 1).isHighSurrogate())) continue;
        bytes += path.mid(plain, i - plain).toUtf8();
        bytes += char(unit - EscapeBase);
        plain = i + 1;
    }
    bytes += path.mid(plain).toUtf8();
    return bytes;
}

QString QtPath(const std::string& path) {
    return NameFromNativeBytes(QByteArray::fromStdString(path));
}

std::string SystemPath(const QString& path) {
    return NativePathBytes(path).toStdString();
}

QString DisplayName(const std::string& name) {
    return DisplayName(QtPath(name));
}

bool HasEscapedBytes(const QString& name) {
    return NativePathBytes(name) != name.toUtf8();
}

QUrl LocalFileUrl(const QString& path) {
    if (NamesAreBytes() && path.startsWith(QLatin1Char('/')) && HasEscapedBytes(path)) {
        return QUrl::fromEncoded("file://" + NativePathBytes(path).toPercentEncoding("/"), QUrl::StrictMode);
    }
    return QUrl::fromLocalFile(path);
}

QString LocalFilePath(const QUrl& url) {
    if (NamesAreBytes() && url.isLocalFile() && url.host().isEmpty()) {
        return NameFromNativeBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    }
    return url.toLocalFile();
}

QString DisplayName(const QString& name) {
    QString shown;
    shown.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        if (IsEscape(unit) && !(i > 0 && name.at(i - 1).isHighSurrogate())) {
            const char32_t character = Cp1252Character(static_cast<unsigned char>(unit - EscapeBase));
            shown += QChar(char16_t(character));
        } else {
            shown += name.at(i);
        }
    }
    return shown;
}

}  // namespace discstart
