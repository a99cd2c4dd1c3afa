#pragma once

#include <QJsonObject>

namespace discstart {

struct DiscReport;

// The movie's facts in plain units, whatever the locale: what the panel shows as texts, as
// numbers a script can compare. null for what the file does not give.
QJsonObject FactsJson(const DiscReport& report);

}  // namespace discstart
