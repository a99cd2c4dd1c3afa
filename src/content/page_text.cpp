#include "content/page_text.h"

#include <QStringDecoder>

#include "text/display_text.h"

namespace discstart {

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
    // Not Qt's codec: a Qt built without ICU (as for Windows) has none and falls back to Latin-1.
    return QString::fromStdString(
        Windows1252ToUtf8(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

std::string DecodePageBytes(std::string_view bytes) {
    return DecodePageText(QByteArray(bytes.data(), qsizetype(bytes.size()))).toStdString();
}

}  // namespace discstart
