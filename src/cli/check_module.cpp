// The disc check as a library of its own; see CMakeLists.txt for why.
#include <QByteArray>
#include <QTextStream>

#include <cstdio>

#include "check_module.h"
#include "disc_check.h"
#include "native_name.h"

extern "C" Q_DECL_EXPORT int discinfo_run_check(const char* folder) {
    QTextStream out(stdout);
    return RunDiscCheck(NameFromNativeBytes(QByteArray(folder)), out);
}
