#pragma once

#include <QLocale>

#include "text/number_format.h"

namespace discstart {

// The decimal and group separators of a locale, for the panel's numbers.
NumberFormat NumberFormatOf(const QLocale& locale);

}  // namespace discstart
