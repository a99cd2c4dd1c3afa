#include "app/module1.h"

#include "app/platform.h"

namespace discstart {

namespace Module1 {

bool ShellOpen(const QString& path, QWidget* owner, Platform& platform) {
    if (path.isEmpty()) return false;
    return platform.openWithAssociatedApplication(path, owner);
}

}  // namespace Module1

}  // namespace discstart
