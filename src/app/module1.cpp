#include "module1.h"

#include "platform.h"

namespace Module1 {

void ShellOpen(const QString& path, QWidget* owner, Platform& platform) {
    if (path.isEmpty()) return;
    platform.openWithAssociatedApplication(path, owner);
}

}  // namespace Module1
