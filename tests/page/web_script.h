#pragma once

#include <QString>
#include <QVariant>

#include "page/page_view.h"

namespace discstart {

// Runs JavaScript in the page of a WebEngine view and waits for its result.
QVariant RunScript(PageView& view, const QString& script);

}  // namespace discstart
