#pragma once

#include <QString>

class QWidget;

namespace discstart {

class Platform;

namespace Module1 {

// Opens `path` with the application associated with its type; `owner` owns whatever that
// application shows. An empty path starts nothing. True when the application was started.
bool ShellOpen(const QString& path, QWidget* owner, Platform& platform);

}  // namespace Module1

}  // namespace discstart
