#pragma once

#include <QString>
#include <QVariant>

#include "page_view.h"

// Runs JavaScript in the page of a WebEngine view and waits for its result.
QVariant RunScript(PageView& view, const QString& script);
