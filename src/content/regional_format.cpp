#include "regional_format.h"

NumberFormat NumberFormatOf(const QLocale& locale) {
    return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
}
