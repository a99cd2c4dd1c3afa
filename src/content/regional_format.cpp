#include "content/regional_format.h"

namespace discstart {

NumberFormat NumberFormatOf(const QLocale& locale) {
    return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
}

}  // namespace discstart
