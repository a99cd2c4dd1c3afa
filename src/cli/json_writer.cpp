#include "cli/json_writer.h"

#include <QJsonArray>
#include <QLocale>

#include <cmath>

namespace discstart {

namespace {

void Write(const QJsonValue& value, QByteArray& out);

void WriteString(const QString& text, QByteArray& out) {
    out += '"';
    qsizetype run = 0;  // start of the characters not yet written, which need no escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        const bool lone = QChar::isSurrogate(unit);
        if (unit != '"' && unit != '\\' && unit >= 0x20 && !lone) continue;
        out += QStringView(text).mid(run, i - run).toUtf8();
        if (lone || unit < 0x20) {
            out += "\\u" + QByteArray::number(unit, 16).rightJustified(4, '0');
        } else {
            out += '\\';
            out += char(unit);
        }
        run = i + 1;
    }
    out += QStringView(text).mid(run).toUtf8();
    out += '"';
}

void WriteNumber(const QJsonValue& value, QByteArray& out) {
    const QVariant number = value.toVariant();
    if (number.typeId() == QMetaType::LongLong) {
        out += QByteArray::number(number.toLongLong());
        return;
    }
    const double d = value.toDouble();
    out += std::isfinite(d) ? QByteArray::number(d, 'g', QLocale::FloatingPointShortest) : QByteArray("null");
}

void Write(const QJsonValue& value, QByteArray& out) {
    switch (value.type()) {
        case QJsonValue::Null:
        case QJsonValue::Undefined:
            out += "null";
            break;
        case QJsonValue::Bool:
            out += value.toBool() ? "true" : "false";
            break;
        case QJsonValue::Double:
            WriteNumber(value, out);
            break;
        case QJsonValue::String:
            WriteString(value.toString(), out);
            break;
        case QJsonValue::Array: {
            out += '[';
            const QJsonArray array = value.toArray();
            for (qsizetype i = 0; i < array.size(); ++i) {
                if (i > 0) out += ',';
                Write(array.at(i), out);
            }
            out += ']';
            break;
        }
        case QJsonValue::Object: {
            out += '{';
            const QJsonObject object = value.toObject();
            for (auto it = object.begin(); it != object.end(); ++it) {
                if (it != object.begin()) out += ',';
                WriteString(it.key(), out);
                out += ':';
                Write(it.value(), out);
            }
            out += '}';
            break;
        }
    }
}

}  // namespace

QByteArray CompactJson(const QJsonObject& object) {
    QByteArray out;
    Write(object, out);
    return out;
}

}  // namespace discstart
