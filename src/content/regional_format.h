#pragma once

#include <QLocale>

#include "number_format.h"

// The decimal and group separators of a locale, for the panel's numbers.
NumberFormat NumberFormatOf(const QLocale& locale);
