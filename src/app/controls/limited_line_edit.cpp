#include "app/controls/limited_line_edit.h"

namespace discstart {

LimitedLineEdit::LimitedLineEdit(int limit, QWidget* parent) : QLineEdit(parent), limit_(limit) {
    // Qt counts UTF-16 units; room for `limit` characters that each need two of them.
    setMaxLength(2 * limit);
}

void LimitedLineEdit::putText(const QString& text) {
    const QString cut = CutToCharacters(text, limit_);
    if (cut != this->text()) setText(cut);
}

QString CutToCharacters(const QString& text, int count) {
    qsizetype units = 0;
    for (int characters = 0; characters < count && units < text.size(); ++characters) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size() &&
                          text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units);
}

}  // namespace discstart
