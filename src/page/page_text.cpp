#include "page_text.h"

#include <QStringDecoder>

namespace {

bool DeclaresCharset(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    // Only the head of a page may hold its meta tag.
    return bytes.left(1024).toLower().contains("charset");
}

}  // namespace

QString DecodePageText(const QByteArray& bytes) {
    if (DeclaresCharset(bytes)) {
        QStringDecoder declared = QStringDecoder::decoderForHtml(bytes);
        if (declared.isValid()) return declared.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder windows1252("windows-1252");
    if (windows1252.isValid()) return windows1252.decode(bytes);
    return QString::fromLatin1(bytes);
}
